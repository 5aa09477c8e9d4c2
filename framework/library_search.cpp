#include "framework/library_search.h"

#include <string>

void RestrictLibrarySearchToSystem() {
    // Looked up rather than imported: a program that imports it does not
    // start at all on a Windows 7 that lacks it.
    using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefault = reinterpret_cast<SetDefaultDirectories>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS)) {
        return;
    }
    SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const char* fileName) {
    char folder[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::string path = std::string(folder) + "\\" + fileName;
    return LoadLibraryA(path.c_str());
}
