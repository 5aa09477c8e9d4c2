#include "framework/afx.h"

namespace {

const char kDialogProp[] = "Quennel.CDialogEx";

bool IsCtlColor(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

}  // namespace

CDialogEx::~CDialogEx() {
    if (m_hWnd != nullptr && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
}

INT_PTR CDialogEx::DoModal() {
    // Owned by the given parent, else by the application's main window when it
    // belongs to this thread; a page of another thread stands alone.
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    if (owner == nullptr) {
        CWinApp* app = AfxGetApp();
        CWnd* main = app != nullptr ? app->m_pMainWnd : nullptr;
        if (main != nullptr && main != this && main->m_hWnd != nullptr &&
            GetWindowThreadProcessId(main->m_hWnd, nullptr) == GetCurrentThreadId()) {
            owner = main->m_hWnd;
        }
    }
    m_owner = owner;
    m_endModal = false;
    m_modalResult = -1;
    m_ownerDisabled = owner != nullptr && ::IsWindowEnabled(owner);
    if (m_ownerDisabled) ::EnableWindow(owner, FALSE);

    m_modalRunning = true;
    HWND hwnd = CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_templateId), owner,
                                   &CDialogEx::DialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd != nullptr && !m_endModal && !IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_SHOWNORMAL);

    MSG msg;
    while (hwnd != nullptr && !m_endModal && IsWindow(hwnd)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        // Every bound window from the target up to the top may take the message.
        BOOL handled = FALSE;
        for (HWND h = msg.hwnd; h != nullptr && !handled; h = GetParent(h)) {
            CWnd* window = FromHandle(h);
            if (window != nullptr) handled = window->PreTranslateMessage(&msg);
        }
        if (!handled) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    m_modalRunning = false;
    if (m_ownerDisabled) {
        ::EnableWindow(owner, TRUE);
        m_ownerDisabled = false;
    }
    if (m_hWnd != nullptr && IsWindow(m_hWnd)) {
        if (owner != nullptr && GetActiveWindow() == m_hWnd) SetActiveWindow(owner);
        DestroyWindow(m_hWnd);
    }
    m_hWnd = nullptr;
    return hwnd == nullptr ? -1 : m_modalResult;
}

void CDialogEx::EndDialog(int result) {
    m_modalResult = result;
    m_endModal = true;
    if (m_hWnd != nullptr) {
        // Give the owner back before the page disappears, so activation returns to it.
        if (m_ownerDisabled && m_owner != nullptr) {
            ::EnableWindow(m_owner, TRUE);
            m_ownerDisabled = false;
        }
        ::ShowWindow(m_hWnd, SW_HIDE);
        PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wakes the modal loop
    }
}

BOOL CDialogEx::PreTranslateMessage(MSG* msg) {
    if (m_hWnd == nullptr || (msg->hwnd != m_hWnd && !IsChild(m_hWnd, msg->hwnd))) return FALSE;
    // Tab, arrows, Enter, Escape and mnemonics as in any dialog.
    return IsDialogMessageW(m_hWnd, msg);
}

BOOL CDialogEx::OnInitDialog() {
    CDataExchange exchange(this);
    DoDataExchange(&exchange);
    CenterWindow();
    return TRUE;
}

void CDialogEx::DoDataExchange(CDataExchange*) {}

HBRUSH CDialogEx::OnCtlColor(HDC dc, HWND control, UINT) {
    // A bound control may answer for itself (reflection).
    CWnd* child = FromHandle(control);
    LRESULT result = 0;
    if (child != nullptr && child != this &&
        child->OnChildNotify(m_currentMsg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control),
                             &result)) {
        return reinterpret_cast<HBRUSH>(result);
    }
    return nullptr;  // the dialog's default colours
}

void CDialogEx::CenterWindow() {
    RECT window;
    GetWindowRect(m_hWnd, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    RECT area;
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &area);
    } else {
        CWinApp* app = AfxGetApp();
        HWND main = app != nullptr && app->m_pMainWnd != nullptr ? app->m_pMainWnd->m_hWnd : nullptr;
        HMONITOR monitor = MonitorFromWindow(main != nullptr ? main : m_hWnd, MONITOR_DEFAULTTOPRIMARY);
        MONITORINFO info;
        info.cbSize = sizeof info;
        GetMonitorInfoA(monitor, &info);
        area = info.rcWork;
    }
    int left = area.left + (area.right - area.left - width) / 2;
    int top = area.top + (area.bottom - area.top - height) / 2;
    // Keep the page on its screen.
    HMONITOR monitor = MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        if (left + width > info.rcWork.right) left = info.rcWork.right - width;
        if (top + height > info.rcWork.bottom) top = info.rcWork.bottom - height;
        if (left < info.rcWork.left) left = info.rcWork.left;
        if (top < info.rcWork.top) top = info.rcWork.top;
    }
    SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK CDialogEx::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialogEx* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialogEx*>(lParam);
        dialog->m_hWnd = hwnd;
        SetPropA(hwnd, kDialogProp, dialog);
        // Bound like a control, so that the modal loop finds it.
        SetPropA(hwnd, "Quennel.CWnd", static_cast<CWnd*>(dialog));
    } else {
        dialog = static_cast<CDialogEx*>(GetPropA(hwnd, kDialogProp));
    }
    if (dialog == nullptr) return FALSE;
    INT_PTR result;
    {
        CurrentMessage current(dialog, message, wParam, lParam);
        result = dialog->HandleMessage(message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        RemovePropA(hwnd, kDialogProp);
        RemovePropA(hwnd, "Quennel.CWnd");
        dialog->m_hWnd = nullptr;
    }
    return result;
}

INT_PTR CDialogEx::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (message == WM_INITDIALOG) return OnInitDialog();
    if (message == WM_COMMAND) {
        HWND control = reinterpret_cast<HWND>(lParam);
        CWnd* child = FromHandle(control);
        if (child != nullptr && child != this && child->OnChildNotify(message, wParam, lParam, &result)) {
            return TRUE;
        }
        if (DispatchMap(message, wParam, lParam, &result)) return TRUE;
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_DRAWITEM) {
        auto* drawItem = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        CWnd* child = FromHandle(drawItem->hwndItem);
        char className[32] = {};
        GetClassNameA(drawItem->hwndItem, className, sizeof className - 1);
        if (child != nullptr && child != this) {
            child->DrawItem(drawItem);
        } else if (lstrcmpiA(className, "MfcButton") == 0) {
            CMFCButton::DrawUnbound(drawItem);
        } else {
            return FALSE;
        }
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    if (IsCtlColor(message)) {
        if (DispatchMap(AFX_WM_CTLCOLOR_ANY, wParam, lParam, &result)) return static_cast<INT_PTR>(result);
        return reinterpret_cast<INT_PTR>(
            OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), CtlColorType(message)));
    }
    if (DispatchMap(message, wParam, lParam, &result)) {
        if (message == WM_QUERYDRAGICON) return static_cast<INT_PTR>(result);
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    return FALSE;
}
