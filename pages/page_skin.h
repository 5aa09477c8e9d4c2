// The look shared by the pages: the page picture, the caption buttons, the
// accent buttons, the label fonts and dragging the page by any free point.
#pragma once

#include <vector>

#include "framework/controls.h"
#include "pages/caption_button.h"
#include "system/scoped.h"

constexpr COLORREF kAccentRed = 0x3932FF;  // RGB(255, 50, 57)
constexpr COLORREF kGrey = 0x666666;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr BYTE kLayeredAlpha = 238;

// "Microsoft YaHei" of this height (in pixels at 96 dots per inch, scaled to
// the screen's) and weight (character set 0, FF_SWISS, other parameters 0);
// where the system lacks the face, a sans-serif face it has.
ScopedFont CreatePageFont(int height, int weight);

// The fonts a page gives its labels for its whole life. The labels' colour
// handlers select the same faces while they draw; giving the labels the fonts
// as well keeps the look where a control selects its own font after asking
// for its colours.
class PageFonts {
public:
    // Gives the page's control a font of this height and weight; redraws it.
    void Apply(HWND page, int controlId, int height, int weight);

private:
    std::vector<ScopedFont> m_fonts;
};

// A page's picture: a bitmap of the program, loaded once for the page's life
// and painted stretched over the page's whole client area.
class PagePicture {
public:
    // False when the bitmap cannot be loaded (the page is then painted without it).
    bool Load(int bitmapId);
    // Paints the page (its WM_PAINT) with the picture, in this stretch mode
    // (COLORONCOLOR or HALFTONE).
    void Paint(HWND page, int stretchMode) const;

private:
    ScopedBitmap m_bitmap;
    SIZE m_size{};
};

// Validates the page without painting anything on it (its WM_PAINT).
void PaintNothing(HWND page);

// Label styling while a control draws (WM_CTLCOLOR): transparent background
// and this text colour. The label draws with the font it was given
// (PageFonts); the caller returns the hollow brush.
void StyleLabel(HDC dc, COLORREF colour);

// Gives both caption buttons their icons (each with a grey copy for the idle
// state), drawn over the page's picture without border.
void SkinCaptionButtons(CaptionButton& close, int closeIcon, CaptionButton& minimise, int minimiseIcon);

// Draws the control without the visual style of the system's theme, so that
// the colours and fonts the page gives it hold: a themed progress bar ignores
// its bar and background colours, and themed check boxes may ignore the
// page's text colour and font. Without a theme nothing changes.
void KeepClassicLook(HWND control);

// Widens the control, where its text in its own font is longer than it is,
// so that the text shows whole on one line; `lead` is the room the control
// draws before its text (a check box's box). Never narrows it. Returns the
// control's right edge in the page's client coordinates.
int FitToText(HWND page, int controlId, int lead);

// Makes the page a layered window of constant opacity 238.
void MakePageTranslucent(HWND page);

// Starts moving the page as if its caption had been grabbed at this point.
void DragPage(HWND page, POINT point);

// The accent look of a flat button: red face, white text.
void SetAccentStyle(SkinButton& button);
