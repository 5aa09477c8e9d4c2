// The skinned caption button of the pages: an owner-drawn flat push button
// that shows an icon over a copy of the page's picture, grey while the
// pointer is elsewhere and coloured while it is over the button.
#pragma once

#include "framework/window.h"
#include "system/scoped.h"

class CaptionButton : public Window {
public:
    ~CaptionButton() override { FreeBackground(); }

    // The icon, taken over by the button, and a grey copy of it for the idle
    // state. False when the icon's information cannot be read or the copy
    // cannot be made (the button then shows no icon).
    bool SetIcon(HICON icon);

    // The page's picture under the button has been painted again: the button
    // copies it afresh at its next drawing, and is redrawn.
    void RetakeBackground();

protected:
    void OnBinding() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnReflectedCommand(int notification) override;
    HBRUSH OnReflectedCtlColor(HDC dc) override;
    void OnDrawItem(const DRAWITEMSTRUCT& item) override;

private:
    void TrackHover(POINT point);
    void LeaveHover();
    void CopyParentBackground(HDC dc);
    void FreeBackground();
    ScopedIcon GreyCopy(HICON icon);

    bool m_mouseOver = false;
    bool m_defaultButton = false;

    struct Icon {
        ScopedIcon handle;
        int width = 0;
        int height = 0;
    };
    Icon m_icons[2];  // active, idle

    // The copy of the page's pixels under the button.
    ScopedMemoryDc m_backgroundDc;
    ScopedBitmap m_backgroundBitmap;
    HGDIOBJ m_replacedBitmap = nullptr;
};
