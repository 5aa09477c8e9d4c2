// The controls the pages bind: check boxes, the flat push button and the
// rich-text box.
#pragma once

#include "framework/window.h"

#include <commctrl.h>
#include <richedit.h>

// A check box (or a radio button): its tick and its picture.
class CheckBox : public Window {
public:
    bool IsChecked() const { return Send(BM_GETCHECK) == BST_CHECKED; }
    void SetChecked(bool checked) const { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }
    // Shows the bitmap in place of the text; the caller keeps owning it.
    void SetBitmap(HBITMAP bitmap) const { Send(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)); }
};

// The flat push button of the pages, window class "MfcButton" (the name the
// dialog templates use): the system's push button, always owner-drawn, filled
// with one face colour (darker while pressed) and its text centred in the
// text colour and its font, without focus rectangle. It still takes part in
// the dialog's default-button handling: Enter clicks the default button.
class SkinButton : public Window {
public:
    // Registers the "MfcButton" window class, once per process; the templates
    // that name it can be created only afterwards. False when it cannot be.
    static bool Register();

    // The face and text colours, enabled or not; the button is redrawn.
    // Until they are set, the system's button colours.
    void SetColours(COLORREF face, COLORREF text);

    // Draws a flat button that no object is bound to, in the system's colours
    // with a focus rectangle. False when the control is not a flat button.
    static bool DrawUnbound(const DRAWITEMSTRUCT& item);

protected:
    void OnBinding() override;
    void OnDrawItem(const DRAWITEMSTRUCT& item) override;

private:
    COLORREF face_ = CLR_DEFAULT;
    COLORREF text_ = CLR_DEFAULT;
};

// The rich-edit text box ("RichEdit20A").
class RichTextBox : public Window {
public:
    // Loads the rich-edit libraries from the system folder (version 2.0, then
    // 1.0); a template naming the box can be created only afterwards. They
    // load what they need (OLE automation, ...), so they are loaded when the
    // first page with a rich-text box opens, not at start-up.
    static void LoadLibraries();

    // Replaces the text with what the stream gives, in this format (SF_RTF,
    // SF_TEXT); returns the number of characters read.
    long StreamIn(int format, EDITSTREAM& stream) const {
        return static_cast<long>(Send(EM_STREAMIN, static_cast<WPARAM>(format), reinterpret_cast<LPARAM>(&stream)));
    }
};
