#include "framework/message_box.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

std::string ProgramPath() {
    // A 260-byte buffer, cleared first; one more byte keeps a full path terminated.
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string ProgramName() {
    std::string name = ProgramPath();
    const std::string::size_type slash = name.find_last_of('\\');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const std::string::size_type dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

int ShowMessageBox(const std::string& text) {
    // Owned by the window the user is working with on this thread, so the box
    // is modal to that page; no owner when the thread shows none.
    HWND owner = GetActiveWindow();
    if (owner != nullptr) owner = GetLastActivePopup(GetAncestor(owner, GA_ROOTOWNER));
    if (owner != nullptr && !IsWindowVisible(owner)) owner = nullptr;
    const std::string caption = ProgramName();
    return MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}
