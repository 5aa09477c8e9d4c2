// A DLL planted under the name of another in the DLL planting tests: loaded
// into a process, it leaves a file named after itself ("version.dll.loaded")
// beside itself, and exports nothing.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH + 1] = {};
        GetModuleFileNameW(self, path, MAX_PATH);
        const std::wstring marker = std::wstring(path) + L".loaded";
        HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    return TRUE;
}
