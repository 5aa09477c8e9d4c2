// The licence-agreement page: the licence text in a read-only rich-text box.
#pragma once

#include "core/user_messages.h"
#include "framework/controls.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

class LicensePage : public Dialog {
public:
    LicensePage(UserMessages& messages, const Window* owner);

    // Loads "license.rtf" from the temporary folder into the text box, or
    // tells the user it cannot be opened. The file is shown only when it
    // holds the installer's own licence, read through the handle that
    // checked it.
    void LoadLicenseText();

protected:
    bool OnInitDialog() override;
    void OnOK() override;  // the Enter key: the text is loaded again
    bool OnCommand(int id, int notification) override;
    bool OnPaint() override;
    HBRUSH OnCtlColor(HDC dc, HWND control) override;
    bool OnLButtonDown(POINT point) override;
    bool OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // Shows the text from its start.
    void ShowStart();

    RichTextBox m_text;
    SkinButton m_btnOk;
    PagePicture m_picture;
    ScopedFont m_buttonFont;
    PageFonts m_labelFonts;
    UserMessages& m_messages;
};
