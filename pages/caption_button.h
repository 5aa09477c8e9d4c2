// The skinned caption button of the pages: an owner-drawn flat push button
// that shows an icon over a copy of the page's picture, grey while the
// pointer is elsewhere and coloured while it is over the button.
#pragma once

#include "framework/afx.h"

class CaptionButton : public CButton {
public:
    CaptionButton();
    ~CaptionButton() override;

    // Draw over a copy of the parent's pixels; the copy is taken afresh at
    // the next drawing.
    void UseParentBackground(bool repaint);

    // The active icon and the idle one; idle may be nullptr (none) or
    // kGreyCopy for a grey copy of the active icon. 0 on success, 1 when an
    // icon's information cannot be read (the button is then without icons).
    static HICON const kGreyCopy;
    DWORD AssignIcons(HICON active, HICON idle);

    void SetBorder(bool on, bool repaint);

    bool IsMouseOver() const { return m_mouseOver; }
    bool IsDefaultButton() const { return m_defaultButton; }

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

    // Fills the rectangle with a background colour.
    virtual void DrawFace(HDC dc, const RECT& rect, COLORREF colour);
    // A one-pixel three-dimensional border, sunken or raised.
    virtual void DrawEdge3d(HDC dc, const RECT& rect, bool sunken);

private:
    void TrackHover(POINT point);
    void LeaveHover();
    void CopyParentBackground(HDC dc);
    void FreeBackground();
    void FreeIcons();
    HICON GreyCopy(HICON icon);

    bool m_mouseOver = false;
    bool m_drawTransparent = false;
    bool m_drawBorder = true;
    bool m_trackAlways = true;
    bool m_defaultButton = false;
    COLORREF m_activeColour;
    COLORREF m_idleColour;
    COLORREF m_focusColour;

    struct Icon {
        HICON handle = nullptr;
        int width = 0;
        int height = 0;
    };
    Icon m_icons[2];  // active, idle

    HDC m_backgroundDc = nullptr;
    HBITMAP m_backgroundBitmap = nullptr;
    HGDIOBJ m_replacedBitmap = nullptr;
};
