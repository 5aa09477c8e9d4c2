// The look shared by the pages: the page picture, the caption buttons, the
// accent buttons, the label font and dragging the page by any free point.
#pragma once

#include "framework/afx.h"
#include "pages/caption_button.h"

constexpr COLORREF kAccentRed = 0x3932FF;  // RGB(255, 50, 57)
constexpr COLORREF kGrey = 0x666666;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr BYTE kLayeredAlpha = 238;

// "Microsoft YaHei" of this height (in pixels at 96 dots per inch, scaled to
// the screen's) and weight (character set 0, FF_SWISS, other parameters 0);
// where the system lacks the face, a sans-serif face it has. The caller
// deletes the font.
HFONT CreatePageFont(int height, int weight);

// The fonts a page gives its labels for its whole life. The labels' colour
// handlers select the same faces while they draw; giving the labels the fonts
// as well keeps the look where a control selects its own font after asking
// for its colours.
class PageFonts {
public:
    PageFonts() = default;
    ~PageFonts();
    PageFonts(const PageFonts&) = delete;
    PageFonts& operator=(const PageFonts&) = delete;
    // Gives the page's control this font; redraws it.
    void Apply(HWND page, int controlId, int height, int weight);

private:
    HFONT m_fonts[8] = {};
    int m_count = 0;
};

// Label styling while a control draws (WM_CTLCOLOR): transparent background
// and this text colour. The label draws with the font it was given
// (PageFonts); the caller returns the hollow brush.
void StyleLabel(HDC dc, COLORREF colour);

// Lets both caption buttons take the page's picture again and gives each its
// icon with a grey copy for the idle state, without border.
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

// Paints the page: the bitmap stretched over the whole client area with the
// stretch mode (COLORONCOLOR or HALFTONE). The bitmap is loaded at every paint.
void PaintPagePicture(HWND page, int bitmapId, int stretchMode);

// Starts moving the page as if its caption had been grabbed at this point.
void DragPage(HWND page, POINT point);

// The accent look of a "MfcButton" before the page's initialisation: flat red
// face, white text, no focus rectangle, not transparent, no visual theme.
void SetAccentStyle(CMFCButton& button);
