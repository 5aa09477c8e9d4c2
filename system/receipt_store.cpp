#include "system/receipt_store.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <sddl.h>

#include <vector>

#include "core/receipt.h"
#include "system/scoped.h"

namespace {

bool Elevated() {
    ScopedHandle token;
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
    token.reset(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

// Makes the folder. An elevated installer gives it a protected list of its
// own (SYSTEM and administrators full control, users read), so that no user
// can change a receipt that a later removal acts on as an administrator; a
// folder found there is given that list too.
bool MakeFolder(const std::wstring& folder) {
    const bool elevated = Elevated();
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (elevated && !ConvertStringSecurityDescriptorToSecurityDescriptorW(
                        L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FR;;;BU)", SDDL_REVISION_1, &descriptor,
                        nullptr)) {
        descriptor = nullptr;
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    bool made = CreateDirectoryW(folder.c_str(), descriptor != nullptr ? &attributes : nullptr) != 0;
    if (!made && GetLastError() == ERROR_ALREADY_EXISTS) {
        made = (GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (made && descriptor != nullptr) {
            SetFileSecurityW(folder.c_str(), DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                             descriptor);
        }
    }
    if (descriptor != nullptr) LocalFree(descriptor);
    return made;
}

}  // namespace

std::wstring ReceiptFolder() {
    wchar_t data[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"ProgramData", data, MAX_PATH);
    std::wstring folder = length > 0 && length < MAX_PATH ? data : L"C:\\ProgramData";
    if (folder.back() != L'\\') folder += L'\\';
    return folder + L"Quennel\\";
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
    const ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart >= (1LL << 30)) return false;
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    return bytes.empty() ||
           (ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size());
}

bool SaveReceiptFile(const std::wstring& name, const std::string& bytes) {
    const std::wstring folder = ReceiptFolder();
    if (!MakeFolder(folder)) return false;
    const std::wstring path = folder + name, fresh = path + L".new";
    {
        const ScopedFile file(
            CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size() || !FlushFileBuffers(file.get())) {
            DeleteFileW(fresh.c_str());
            return false;
        }
    }
    if (MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(fresh.c_str());
    return false;
}

bool RemoveReceiptFile(const std::wstring& name) {
    const std::wstring folder = ReceiptFolder();
    const bool gone = DeleteFileW((folder + name).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
                      GetLastError() == ERROR_PATH_NOT_FOUND;
    RemoveDirectoryW(folder.c_str());  // only when empty
    return gone;
}

bool FileSizeAndCrc(const std::wstring& path, std::uint64_t& size, std::uint32_t& crc) {
    const ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    std::vector<char> buffer(1 << 16);
    size = 0;
    crc = 0;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) return false;
        if (read == 0) return true;
        crc = Crc32(buffer.data(), read, crc);
        size += read;
    }
}
