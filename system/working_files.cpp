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

void WriteResourceFile(const char* type, int id, const std::string& fileName) {
    const std::string path = TempFolder() + fileName;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;  // locked or not writable: the older file stays
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const DWORD size = resource != nullptr ? SizeofResource(module, resource) : 0;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes != nullptr && size > 0) {
        DWORD written = 0;
        WriteFile(file, bytes, size, &written, nullptr);
    }
    CloseHandle(file);
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

void WriteArchiveFile() { WriteResourceFile("RAR", IDR_PAYLOAD_RAR, archiveFileName); }
void WriteUninstallerFile() { WriteResourceFile("EXE", IDR_UNINSTALLER_EXE, uninstallerFileName); }
void WriteUnrarFile() { WriteResourceFile("DLL", IDR_UNRAR_DLL, unrarFileName); }
void WriteLicenseFile() { WriteResourceFile("RTF", IDR_LICENSE_RTF, licenseFileName); }
