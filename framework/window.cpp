#include "framework/window.h"

#include "framework/controls.h"

namespace {

// The object bound to a window, and a bound control's own procedure, as
// properties of the window.
const char kObjectProp[] = "Quennel.Window";
const char kProcProp[] = "Quennel.WindowProc";

bool IsCtlColor(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

}  // namespace

// --- Window ---------------------------------------------------------------

Window::~Window() {
    if (hwnd_ != nullptr && originalProc_ != nullptr && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
        RemovePropA(hwnd_, kProcProp);
        Detach();
    }
}

Window* Window::FromHandle(HWND hwnd) {
    return hwnd == nullptr ? nullptr : static_cast<Window*>(GetPropA(hwnd, kObjectProp));
}

void Window::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    SetPropA(hwnd, kObjectProp, this);
}

void Window::Detach() {
    RemovePropA(hwnd_, kObjectProp);
    hwnd_ = nullptr;
    originalProc_ = nullptr;
}

bool Window::Bind(HWND page, int controlId) {
    HWND control = ::GetDlgItem(page, controlId);
    if (control == nullptr || FromHandle(control) != nullptr) return false;
    Attach(control);
    OnBinding();
    originalProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::ControlProc)));
    SetPropA(control, kProcProp, reinterpret_cast<HANDLE>(originalProc_));
    return true;
}

LRESULT CALLBACK Window::ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = FromHandle(hwnd);
    if (window == nullptr) {
        WNDPROC original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kProcProp));
        return original != nullptr ? CallWindowProcA(original, hwnd, message, wParam, lParam)
                                   : ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    const LRESULT result = window->OnMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The control is gone: the object no longer stands for it.
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(window->originalProc_));
        RemovePropA(hwnd, kProcProp);
        window->Detach();
    }
    return result;
}

LRESULT Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) { return CallDefault(message, wParam, lParam); }

LRESULT Window::CallDefault(UINT message, WPARAM wParam, LPARAM lParam) {
    if (originalProc_ != nullptr) return CallWindowProcA(originalProc_, hwnd_, message, wParam, lParam);
    return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

bool Window::PreTranslateMessage(MSG&) { return false; }

void Window::OnReflectedCommand(int) {}

HBRUSH Window::OnReflectedCtlColor(HDC) { return nullptr; }

void Window::OnDrawItem(const DRAWITEMSTRUCT&) {}

// --- Dialog ---------------------------------------------------------------

Dialog::~Dialog() {
    if (Handle() != nullptr && IsWindow(Handle())) DestroyWindow(Handle());
}

INT_PTR Dialog::RunModal() {
    HWND owner = owner_ != nullptr ? owner_->Handle() : nullptr;
    ownerHwnd_ = owner;
    endModal_ = false;
    result_ = -1;
    ownerDisabled_ = owner != nullptr && ::IsWindowEnabled(owner);
    if (ownerDisabled_) ::EnableWindow(owner, FALSE);

    HWND hwnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                                   &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd != nullptr && !endModal_ && !IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_SHOWNORMAL);

    MSG msg;
    while (hwnd != nullptr && !endModal_ && IsWindow(hwnd)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        // Every bound window from the target up to its top-level window and
        // that window's owners may take the message.
        bool handled = false;
        for (HWND h = msg.hwnd; h != nullptr && !handled; h = GetParent(h)) {
            Window* window = FromHandle(h);
            if (window != nullptr) handled = window->PreTranslateMessage(msg);
        }
        if (!handled) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (ownerDisabled_) {
        ::EnableWindow(owner, TRUE);
        ownerDisabled_ = false;
    }
    if (Handle() != nullptr && IsWindow(Handle())) {
        if (owner != nullptr && GetActiveWindow() == Handle()) SetActiveWindow(owner);
        DestroyWindow(Handle());
    }
    return hwnd == nullptr ? -1 : result_;
}

void Dialog::End(INT_PTR result) {
    result_ = result;
    endModal_ = true;
    if (Handle() != nullptr) {
        if (ownerDisabled_ && ownerHwnd_ != nullptr) {
            ::EnableWindow(ownerHwnd_, TRUE);
            ownerDisabled_ = false;
        }
        ::ShowWindow(Handle(), SW_HIDE);
        PostMessageA(Handle(), WM_NULL, 0, 0);  // wakes the modal loop
    }
}

bool Dialog::PreTranslateMessage(MSG& msg) {
    if (Handle() == nullptr || (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd))) return false;
    return IsDialogMessageW(Handle(), &msg) != FALSE;
}

bool Dialog::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED) return false;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

HBRUSH Dialog::OnCtlColor(HDC dc, HWND control) {
    Window* child = FromHandle(control);
    return child != nullptr && child != this ? child->OnReflectedCtlColor(dc) : nullptr;
}

bool Dialog::OnOwnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void Dialog::CentreWindow() {
    RECT window;
    GetWindowRect(Handle(), &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    HWND owner = GetWindow(Handle(), GW_OWNER);
    RECT area;
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &area);
    } else {
        const HMONITOR screen = screen_ != nullptr ? screen_
                                                   : MonitorFromWindow(owner != nullptr ? owner : Handle(),
                                                                       MONITOR_DEFAULTTOPRIMARY);
        MONITORINFO info;
        info.cbSize = sizeof info;
        GetMonitorInfoA(screen, &info);
        area = info.rcWork;
    }
    int left = area.left + (area.right - area.left - width) / 2;
    int top = area.top + (area.bottom - area.top - height) / 2;
    // Keep the page on its screen.
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &info)) {
        if (left + width > info.rcWork.right) left = info.rcWork.right - width;
        if (top + height > info.rcWork.bottom) top = info.rcWork.bottom - height;
        if (left < info.rcWork.left) left = info.rcWork.left;
        if (top < info.rcWork.top) top = info.rcWork.top;
    }
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        dialog->Attach(hwnd);
    } else {
        dialog = static_cast<Dialog*>(FromHandle(hwnd));
    }
    if (dialog == nullptr) return FALSE;
    const INT_PTR result = dialog->Route(message, wParam, lParam);
    if (message == WM_NCDESTROY) dialog->Detach();
    return result;
}

// The one place where a page's messages become calls.
INT_PTR Dialog::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    // A handled message's result, for those whose result is not the dialog
    // procedure's return value.
    auto handled = [this](LRESULT result) -> INT_PTR {
        SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, result);
        return TRUE;
    };
    if (IsCtlColor(message)) {
        return reinterpret_cast<INT_PTR>(OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    }
    switch (message) {
        case WM_INITDIALOG:
            CentreWindow();
            return OnInitDialog() ? TRUE : FALSE;
        case WM_COMMAND: {
            Window* child = FromHandle(reinterpret_cast<HWND>(lParam));
            if (child != nullptr && child != this) child->OnReflectedCommand(HIWORD(wParam));
            return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            Window* child = FromHandle(item.hwndItem);
            if (child != nullptr && child != this) {
                child->OnDrawItem(item);
            } else if (!SkinButton::DrawUnbound(item)) {
                return FALSE;
            }
            return handled(TRUE);
        }
        case WM_PAINT:
            return OnPaint() ? handled(0) : FALSE;
        case WM_LBUTTONDOWN:
            return OnLButtonDown(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))})
                       ? handled(0)
                       : FALSE;
        case WM_SYSCOMMAND:
            return OnSysCommand(static_cast<UINT>(wParam)) ? handled(0) : FALSE;
        case WM_TIMER:
            return OnTimer(static_cast<UINT_PTR>(wParam)) ? handled(0) : FALSE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(OnQueryDragIcon());
        default:
            break;
    }
    if (message >= WM_USER) {
        LRESULT result = 0;
        if (OnOwnMessage(message, wParam, lParam, result)) return handled(result);
    }
    return FALSE;
}
