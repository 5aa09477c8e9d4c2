// The licence-agreement page: the licence text in a read-only rich-text box.
#pragma once

#include "core/user_messages.h"
#include "framework/afx.h"
#include "pages/page_skin.h"
#include "resources/resource.h"

class LicensePage : public CDialogEx {
public:
    enum { IDD = IDD_LICENSE_PAGE };

    LicensePage(UserMessages& messages, CWnd* parent);
    ~LicensePage() override;

    // Loads "license.rtf" from the temporary folder into the text box, or
    // tells the user it cannot be opened. The file is shown only when it
    // holds the installer's own licence, read through the handle that
    // checked it.
    void LoadLicenseText();

    CRichEditCtrl m_text;
    CMFCButton m_btnOk;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    void OnOK() override;
    void OnButtonOk();
    void OnTextChange() {}
    void OnPaint();
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);
    void OnLButtonDown(UINT flags, POINT point);
    LRESULT OnShowStart(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    HFONT m_buttonFont = nullptr;
    PageFonts m_labelFonts;
    UserMessages& m_messages;
};
