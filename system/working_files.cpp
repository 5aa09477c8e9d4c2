#include "system/working_files.h"

#include <cstring>

#include "core/shared_state.h"
#include "resources/resource.h"

namespace {

struct ResourceBytes {
    const char* bytes = nullptr;
    DWORD size = 0;
};

ResourceBytes FindResourceBytes(const char* type, int id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    ResourceBytes found;
    if (loaded != nullptr) {
        found.bytes = static_cast<const char*>(LockResource(loaded));
        found.size = SizeofResource(module, resource);
    }
    return found;
}

// Whether the open file holds exactly these bytes, read from its start.
bool HoldsBytes(HANDLE file, const ResourceBytes& resource) {
    if (resource.bytes == nullptr) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart != resource.size) return false;
    LARGE_INTEGER start;
    start.QuadPart = 0;
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return false;
    char buffer[65536];
    DWORD offset = 0;
    bool same = true;
    while (same && offset < resource.size) {
        DWORD read = 0;
        const DWORD wanted = resource.size - offset < sizeof buffer ? resource.size - offset : sizeof buffer;
        same = ReadFile(file, buffer, wanted, &read, nullptr) && read == wanted &&
               std::memcmp(buffer, resource.bytes + offset, read) == 0;
        offset += read;
    }
    return same && SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
}

}  // namespace

std::string TempFolder() {
    char folder[MAX_PATH + 1];
    std::memset(folder, 0, sizeof folder);
    GetTempPathA(MAX_PATH, folder);
    return folder;
}

long long WriteResourceFile(const char* type, int id, const std::string& fileName) {
    const std::string path = TempFolder() + fileName;
    // Nobody else may open the file while it is written.
    ScopedFile file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return -1;  // held by another process or not writable: the older file stays
    const ResourceBytes resource = FindResourceBytes(type, id);
    DWORD written = 0;
    const bool whole = resource.bytes != nullptr && resource.size > 0 &&
                       WriteFile(file.get(), resource.bytes, resource.size, &written, nullptr) &&
                       written == resource.size;
    return whole ? static_cast<long long>(resource.size) : -1;
}

HeldWorkingFile HeldWorkingFile::Hold(const char* type, int id, const std::string& fileName) {
    HeldWorkingFile held;
    held.path_ = TempFolder() + fileName;
    // Reading shared, nothing else: while this handle is open nobody can
    // write, delete or rename the file, and a file another process holds
    // open for writing cannot be held at all.
    held.hold_.reset(CreateFileA(held.path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    held.inUse_ = !held.hold_ && GetLastError() == ERROR_SHARING_VIOLATION;
    const ResourceBytes resource = FindResourceBytes(type, id);
    if (held.hold_ && HoldsBytes(held.hold_.get(), resource)) {
        held.state_ = WorkingFile::Verified;
        held.bytes_ = resource.size;
    } else {
        held.state_ = WorkingFile::Foreign;
        held.hold_.reset();
    }
    return held;
}

HeldWorkingFile HeldWorkingFile::Prepare(const char* type, int id, const std::string& fileName) {
    // Another setup may be writing the same file this moment (installers of
    // two editions started together): a file in use is tried again for a
    // few seconds before it counts as not the installer's own.
    constexpr int kAttempts = 20;
    constexpr DWORD kPauseMs = 150;
    for (int attempt = 1;; ++attempt) {
        const bool written = WriteResourceFile(type, id, fileName) >= 0;
        const bool writeInUse = !written && GetLastError() == ERROR_SHARING_VIOLATION;
        HeldWorkingFile held = Hold(type, id, fileName);
        if (written) held.state_ = held.Usable() ? WorkingFile::Written : WorkingFile::Changed;
        if (held.Usable() || attempt == kAttempts || !(writeInUse || held.inUse_)) return held;
        Sleep(kPauseMs);
    }
}

HeldWorkingFile PrepareArchiveFile() { return HeldWorkingFile::Prepare("RAR", IDR_PAYLOAD_RAR, archiveFileName); }
HeldWorkingFile PrepareUnrarFile() { return HeldWorkingFile::Prepare("DLL", IDR_UNRAR_DLL, unrarFileName); }
long long WriteUninstallerFile() { return WriteResourceFile("EXE", IDR_UNINSTALLER_EXE, uninstallerFileName); }
long long WriteLicenseFile() { return WriteResourceFile("RTF", IDR_LICENSE_RTF, licenseFileName); }
HeldWorkingFile HoldLicenseFile() { return HeldWorkingFile::Hold("RTF", IDR_LICENSE_RTF, licenseFileName); }
