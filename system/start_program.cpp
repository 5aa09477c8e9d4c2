#include "system/start_program.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <vector>

#include "system/scoped.h"

namespace {

// Owns one COM interface pointer.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (pointer_ != nullptr) pointer_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    Interface** out() { return &pointer_; }
    void** outVoid() { return reinterpret_cast<void**>(&pointer_); }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

private:
    Interface* pointer_ = nullptr;
};

// Owns one string given to COM.
class Bstr {
public:
    explicit Bstr(const std::wstring& text) : value_(SysAllocString(text.c_str())) {}
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return value_; }

private:
    BSTR value_;
};

std::wstring Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, buffer.data(), length);
    return buffer.data();
}

// The desktop's folder view, reached through the shell's window list, gives
// the shell's own automation object; its ShellExecute runs in the shell's
// process, with the shell's rights.
bool StartThroughDesktopShell(const std::string& path) {
    ComRef<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                windows.outVoid()))) {
        return false;
    }
    VARIANT location;
    VariantInit(&location);
    VARIANT root;
    VariantInit(&root);
    long window = 0;
    ComRef<IDispatch> desktop;
    if (windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.out()) != S_OK ||
        !desktop) {
        return false;
    }
    ComRef<IServiceProvider> services;
    ComRef<IShellBrowser> browser;
    ComRef<IShellView> view;
    ComRef<IDispatch> background;
    ComRef<IShellFolderViewDual> folderView;
    ComRef<IDispatch> application;
    ComRef<IShellDispatch2> shell;
    if (FAILED(desktop->QueryInterface(IID_IServiceProvider, services.outVoid())) ||
        FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.outVoid())) ||
        FAILED(browser->QueryActiveShellView(view.out())) || !view ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.outVoid())) || !background ||
        FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.outVoid())) ||
        FAILED(folderView->get_Application(application.out())) || !application ||
        FAILED(application->QueryInterface(IID_IShellDispatch2, shell.outVoid()))) {
        return false;
    }
    const Bstr file(Wide(path));
    const Bstr verb(L"open");
    VARIANT arguments, folder, operation, show;
    VariantInit(&arguments);
    VariantInit(&folder);
    VariantInit(&operation);
    operation.vt = VT_BSTR;
    operation.bstrVal = verb.get();
    VariantInit(&show);
    show.vt = VT_I4;
    show.lVal = SW_SHOW;
    return SUCCEEDED(shell->ShellExecute(file.get(), arguments, folder, operation, show));
}

}  // namespace

void StartAsSignedInUser(const std::string& path) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool started = StartThroughDesktopShell(path);
    if (SUCCEEDED(com)) CoUninitialize();
    if (!started) OpenWithShell(path);
}

void OpenWithShell(const std::string& path) { ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOW); }

const char* const kRuntimeProductKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{9A25302D-30C0-39D9-BD6F-21E6EC160475}";
const char* const kRuntimeProductKeyWow64 =
    "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{9A25302D-30C0-39D9-BD6F-21E6EC160475}";

bool RuntimeProductInstalled() {
    for (const char* path : {kRuntimeProductKey, kRuntimeProductKeyWow64}) {
        ScopedKey key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.out()) == ERROR_SUCCESS) return true;
    }
    return false;
}
