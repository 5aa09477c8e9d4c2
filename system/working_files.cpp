#include "system/working_files.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>

#include "core/shared_state.h"
#include "resources/resource.h"

std::string TempFolder() {
    char folder[MAX_PATH + 1];
    std::memset(folder, 0, sizeof folder);
    GetTempPathA(MAX_PATH, folder);
    return folder;
}

long long WriteResourceFile(const char* type, int id, const std::string& fileName) {
    const std::string path = TempFolder() + fileName;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;  // locked or not writable: the older file stays
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const DWORD size = resource != nullptr ? SizeofResource(module, resource) : 0;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    DWORD written = 0;
    const bool whole = bytes != nullptr && size > 0 && WriteFile(file, bytes, size, &written, nullptr) && written == size;
    CloseHandle(file);
    return whole ? static_cast<long long>(size) : -1;
}

bool FileMatchesResource(const std::string& path, const char* type, int id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const DWORD size = resource != nullptr ? SizeofResource(module, resource) : 0;
    const char* bytes = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (bytes == nullptr) return false;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER fileSize;
    bool same = GetFileSizeEx(file, &fileSize) && fileSize.QuadPart == size;
    char buffer[65536];
    DWORD offset = 0;
    while (same && offset < size) {
        DWORD read = 0;
        const DWORD wanted = size - offset < sizeof buffer ? size - offset : sizeof buffer;
        same = ReadFile(file, buffer, wanted, &read, nullptr) && read == wanted &&
               std::memcmp(buffer, bytes + offset, read) == 0;
        offset += read;
    }
    CloseHandle(file);
    return same;
}

long long WriteArchiveFile() { return WriteResourceFile("RAR", IDR_PAYLOAD_RAR, archiveFileName); }
long long WriteUninstallerFile() { return WriteResourceFile("EXE", IDR_UNINSTALLER_EXE, uninstallerFileName); }
long long WriteUnrarFile() { return WriteResourceFile("DLL", IDR_UNRAR_DLL, unrarFileName); }
long long WriteLicenseFile() { return WriteResourceFile("RTF", IDR_LICENSE_RTF, licenseFileName); }
