#include "framework/afx.h"

namespace {

const char kObjectProp[] = "Quennel.CWnd";
const char kProcProp[] = "Quennel.WndProc";

}  // namespace

CWnd::~CWnd() {
    if (m_hWnd != nullptr && m_originalProc != nullptr && IsWindow(m_hWnd)) {
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_originalProc));
        RemovePropA(m_hWnd, kObjectProp);
        RemovePropA(m_hWnd, kProcProp);
    }
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    return hwnd == nullptr ? nullptr : static_cast<CWnd*>(GetPropA(hwnd, kObjectProp));
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    HWND control = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    return control != nullptr && SubclassWindow(control);
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (hwnd == nullptr || FromHandle(hwnd) != nullptr) return FALSE;
    m_hWnd = hwnd;
    SetPropA(hwnd, kObjectProp, this);
    PreSubclassWindow();
    m_originalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    SetPropA(hwnd, kProcProp, reinterpret_cast<HANDLE>(m_originalProc));
    return TRUE;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* window = FromHandle(hwnd);
    if (window == nullptr) {
        WNDPROC original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kProcProp));
        return original != nullptr ? CallWindowProcA(original, hwnd, message, wParam, lParam)
                                   : ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    LRESULT result;
    {
        CurrentMessage current(window, message, wParam, lParam);
        result = window->WindowProc(message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The window is gone: the object no longer stands for it.
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(window->m_originalProc));
        RemovePropA(hwnd, kObjectProp);
        RemovePropA(hwnd, kProcProp);
        window->m_hWnd = nullptr;
        window->m_originalProc = nullptr;
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (DispatchMap(message, wParam, lParam, &result)) return result;
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_originalProc != nullptr) return CallWindowProcA(m_originalProc, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() { return DefWindowProc(m_currentMsg, m_currentWParam, m_currentLParam); }

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

void CWnd::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::DispatchMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const AFX_MSGMAP_ENTRY* entry = GetMessageMap();
    if (entry == nullptr) return FALSE;
    for (; entry->call != nullptr; ++entry) {
        if (entry->message != message) continue;
        if (message == WM_COMMAND && (entry->code != HIWORD(wParam) || entry->id != LOWORD(wParam))) continue;
        *result = entry->call(this, wParam, lParam);
        return TRUE;
    }
    return FALSE;
}

UINT CWnd::CtlColorType(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX: return CTLCOLOR_MSGBOX;
        case WM_CTLCOLOREDIT: return CTLCOLOR_EDIT;
        case WM_CTLCOLORLISTBOX: return CTLCOLOR_LISTBOX;
        case WM_CTLCOLORBTN: return CTLCOLOR_BTN;
        case WM_CTLCOLORDLG: return CTLCOLOR_DLG;
        case WM_CTLCOLORSCROLLBAR: return CTLCOLOR_SCROLLBAR;
        default: return CTLCOLOR_STATIC;
    }
}

void DDX_Control(CDataExchange* exchange, int id, CWnd& control) {
    if (control.m_hWnd == nullptr) control.SubclassDlgItem(static_cast<UINT>(id), exchange->m_pDlgWnd);
}
