#include "framework/message_box.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

int ShowMessageBox(const std::string& text, const std::string& caption) {
    // Owned by the window the user is working with on this thread, so the box
    // is modal to that page; no owner when the thread shows none.
    HWND owner = GetActiveWindow();
    if (owner != nullptr) owner = GetLastActivePopup(GetAncestor(owner, GA_ROOTOWNER));
    if (owner != nullptr && !IsWindowVisible(owner)) owner = nullptr;
    return MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}
