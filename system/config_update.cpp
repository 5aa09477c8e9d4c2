#include "system/config_update.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>

#include <tinyxml2.h>

#include "core/install_run.h"
#include "system/scoped.h"
#include "core/config_document.h"

namespace {

// Writes all bytes from the file's start, ends the file there and flushes
// it to the disk.
bool WriteAll(HANDLE file, const std::string& bytes) {
    bool written = SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0;
    std::string::size_type offset = 0;
    while (written && offset < bytes.size()) {
        DWORD done = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::string::size_type>(bytes.size() - offset, 1 << 20));
        written = WriteFile(file, bytes.data() + offset, chunk, &done, nullptr) && done == chunk;
        offset += done;
    }
    return written && SetEndOfFile(file) && FlushFileBuffers(file);
}


// Whether the file can be opened for writing; opening changes nothing.
bool MayWrite(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
    const ScopedFile file(CreateFileA(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

// Where the copy's folder takes no new file but the copy itself may be
// written: the copy is rewritten where it stands, held without sharing, and
// its old bytes are written back when the new ones could not all be. Only a
// crash or a power loss in the middle of the write can leave it incomplete.
bool RewriteInPlace(const std::string& path, const std::string& bytes) {
    const ScopedFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::string old;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart >= (1LL << 30)) return false;
    old.resize(static_cast<std::string::size_type>(size.QuadPart));
    DWORD read = 0;
    if (!old.empty() && (!ReadFile(file.get(), &old[0], static_cast<DWORD>(old.size()), &read, nullptr) ||
                         read != old.size())) {
        return false;
    }
    if (WriteAll(file.get(), bytes)) return true;
    WriteAll(file.get(), old);
    return false;
}

enum class Load { Loaded, Missing, Unreadable, NotLoadable };

// Loads a copy; says why it cannot be used when it does not load.
Load LoadCopy(const std::string& path, tinyxml2::XMLDocument& document) {
    const tinyxml2::XMLError loaded = document.LoadFile(path.c_str());
    if (loaded == tinyxml2::XML_SUCCESS) return Load::Loaded;
    if (path.empty() || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return Load::Missing;
    if (loaded == tinyxml2::XML_ERROR_FILE_NOT_FOUND || loaded == tinyxml2::XML_ERROR_FILE_COULD_NOT_BE_OPENED ||
        loaded == tinyxml2::XML_ERROR_FILE_READ_ERROR) {
        return Load::Unreadable;  // there, but held without sharing or denied
    }
    return Load::NotLoadable;
}

}  // namespace

CopyUpdate UpdateClientConfig(const std::string& path, const std::string& selectedCodes, const char* mark) {
    tinyxml2::XMLDocument document;
    switch (LoadCopy(path, document)) {
        case Load::Loaded: break;
        case Load::Missing: return CopyUpdate::Missing;
        case Load::Unreadable: return CopyUpdate::Unreadable;
        case Load::NotLoadable: return CopyUpdate::NotLoadable;
    }
    if (CheckLanguageList(document, selectedCodes) == LanguageListState::NoLanguageList) {
        return CopyUpdate::NoLanguageList;
    }
    std::string bytes;
    if (!UpdatedConfigBytes(document, selectedCodes, bytes, mark)) return CopyUpdate::Unprintable;
    return ReplaceClientConfig(path, bytes);
}

CopyUpdate ReplaceClientConfig(const std::string& path, const std::string& bytes) {
    // A copy the user may not write (read-only, no write access, held open
    // without sharing) is left as it is, as a plain save would leave it.
    if (!MayWrite(path)) return CopyUpdate::NotWritable;

    // The new document goes to a file beside the copy, which then takes the
    // copy's place in one step: a failed or interrupted save leaves the old
    // copy whole. The copy keeps what it is: its attributes are given to the
    // new file first, and the replacement keeps its security settings, owner
    // and streams.
    const std::string temporary = path + ".quennel-new";
    {
        ScopedFile file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        if (!file) {
            // The folder takes no new file.
            return RewriteInPlace(path, bytes) ? CopyUpdate::Updated : CopyUpdate::WriteFailed;
        }
        if (!WriteAll(file.get(), bytes)) {
            file.reset();
            DeleteFileA(temporary.c_str());
            return CopyUpdate::WriteFailed;
        }
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesA(temporary.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
    if (!ReplaceFileA(path.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(temporary.c_str());
        return CopyUpdate::WriteFailed;
    }
    return CopyUpdate::Updated;
}

void UpdateClientConfigCopies(InstallRun& run) {
    run.copyUpdates[0] = UpdateClientConfig(run.publicSetupPath, run.selectedCodes);
    run.copyUpdates[1] = UpdateClientConfig(run.installSetupPath, run.selectedCodes);
    run.copyUpdates[2] = UpdateClientConfig(run.benchmarkSetupPath, run.selectedCodes);
}

CopyCheck CheckClientConfig(const std::string& path, const std::string& codes) {
    tinyxml2::XMLDocument document;
    switch (LoadCopy(path, document)) {
        case Load::Loaded: break;
        case Load::Missing: return CopyCheck::Missing;
        case Load::Unreadable: return CopyCheck::Unreadable;
        case Load::NotLoadable: return CopyCheck::NotLoadable;
    }
    switch (CheckLanguageList(document, codes)) {
        case LanguageListState::NoLanguageList: return CopyCheck::NoLanguageList;
        case LanguageListState::Lists: return CopyCheck::Lists;
        case LanguageListState::Lacks: break;
    }
    return CopyCheck::Lacks;
}
