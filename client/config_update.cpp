#include "client/config_update.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>

#include <tinyxml2.h>

#include "app/shared_state.h"
#include "client/config_document.h"

namespace {

// Writes all bytes to a new file and flushes them to the disk.
bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = true;
    std::string::size_type offset = 0;
    while (written && offset < bytes.size()) {
        DWORD done = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::string::size_type>(bytes.size() - offset, 1 << 20));
        written = WriteFile(file, bytes.data() + offset, chunk, &done, nullptr) && done == chunk;
        offset += done;
    }
    written = written && FlushFileBuffers(file);
    return CloseHandle(file) && written;
}


// Whether the file can be opened for writing; opening changes nothing.
bool MayWrite(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

}  // namespace

void UpdateClientConfig(const std::string& path) {
    tinyxml2::XMLDocument document;
    if (document.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS) return;
    std::string bytes;
    if (!UpdatedConfigBytes(document, selectedCodes, bytes)) return;
    // A copy the user may not write (read-only, no write access, held open
    // without sharing) is left as it is, as a plain save would leave it.
    if (!MayWrite(path)) return;

    // The new document goes to a file beside the copy, which then takes the
    // copy's place in one step: a failed or interrupted save leaves the old
    // copy whole.
    const std::string temporary = path + ".quennel-new";
    if (!WriteWholeFile(temporary, bytes)) {
        DeleteFileA(temporary.c_str());
        return;
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary.c_str());
    }
}

void UpdateClientConfigCopies() {
    UpdateClientConfig(publicSetupPath);
    UpdateClientConfig(installSetupPath);
    UpdateClientConfig(benchmarkSetupPath);
}
