#include "framework/library_search.h"

#include <string>

void RestrictLibrarySearchToSystem() {
    // Looked up rather than imported: a program that imports it does not
    // start at all on a Windows 7 that lacks it.
    using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefault = reinterpret_cast<SetDefaultDirectories>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS)) {
        SetDllDirectoryW(L"");
    }
    // The theme library is loaded by the window and control libraries when
    // they first need it, by name, and it is none of the DLLs Windows always
    // takes from its system folder: loaded here by its full path, it is the
    // copy every later load by name finds.
    LoadSystemLibrary("uxtheme.dll");
}

HMODULE LoadSystemLibrary(const char* fileName) {
    char folder[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::string path = std::string(folder) + "\\" + fileName;
    return LoadLibraryA(path.c_str());
}
