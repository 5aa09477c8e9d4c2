#include "system/extraction.h"

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "dll.hpp"

#include "core/shared_state.h"
#include "system/run_log.h"
#include "system/scoped.h"
#include "system/working_files.h"
#include "core/progress.h"
#include "resources/resource.h"

const char* const kRuntimeProductKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{9A25302D-30C0-39D9-BD6F-21E6EC160475}";
const char* const kRuntimeProductKeyWow64 =
    "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{9A25302D-30C0-39D9-BD6F-21E6EC160475}";

namespace {

// Tells the user, where the job has someone to tell.
void Tell(const ExtractionJob* job, const std::string& text) {
    if (job->messages != nullptr) job->messages->Tell(text);
}


typedef HANDLE(PASCAL* OpenArchiveExProc)(RAROpenArchiveDataEx*);
typedef int(PASCAL* CloseArchiveProc)(HANDLE);
typedef int(PASCAL* ProcessFileProc)(HANDLE, int, char*, char*);
typedef int(PASCAL* ReadHeaderProc)(HANDLE, RARHeaderData*);
typedef int(PASCAL* ReadHeaderExProc)(HANDLE, RARHeaderDataEx*);
typedef void(PASCAL* SetCallbackProc)(HANDLE, UNRARCALLBACK, LPARAM);

// The library's entry points, shared by both passes.
OpenArchiveExProc rarOpenArchiveEx = nullptr;
CloseArchiveProc rarCloseArchive = nullptr;
ProcessFileProc rarProcessFile = nullptr;
ReadHeaderProc rarReadHeader = nullptr;
ReadHeaderExProc rarReadHeaderEx = nullptr;
SetCallbackProc rarSetCallback = nullptr;

// Loads the library from the working file the job holds (preparing it first
// when no pass has), by its full path, and only when that file holds exactly
// the library the installer carries: a different file standing there (the
// copy could not replace it) is never loaded.
HMODULE LoadUnrarLibrary(ExtractionJob* job) {
    if (job->libraryFile.State() == WorkingFile::NotPrepared) job->libraryFile = PrepareUnrarFile();
    HMODULE module = nullptr;
    if (job->libraryFile.Usable()) {
        const std::string& path = job->libraryFile.Path();
        // Its own imports come from the system folder only, never from the
        // temporary folder. A Windows 7 without the update that added the
        // search flags refuses them: there the library's own folder is
        // searched first for its imports, not the installer's folder.
        module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
            module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        }
    }
    if (module == nullptr) Tell(job, msgLoadLibraryFailed);
    return module;
}

template <typename Proc>
Proc Resolve(HMODULE module, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

HANDLE OpenArchive(const ExtractionJob* job, const std::string& path, unsigned mode) {
    if (job->archiveFile.State() != WorkingFile::NotPrepared && !job->archiveFile.Usable()) {
        Tell(job, msgArchiveOpenFailed);
        return nullptr;
    }
    RAROpenArchiveDataEx open;
    std::memset(&open, 0, sizeof open);
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    open.ArcName = name.data();
    open.OpenMode = mode;
    HANDLE archive = rarOpenArchiveEx(&open);
    if (archive == nullptr || open.OpenResult != 0) {
        if (archive != nullptr) rarCloseArchive(archive);
        Tell(job, msgArchiveOpenFailed);
        return nullptr;
    }
    return archive;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Notes an archive entry, and the folders above it, where nothing stands at
// its place below the destination yet.
void NoteAddition(ExtractionJob& job, const std::wstring& destination, const std::wstring& name, bool folder,
                  std::uint64_t size, std::uint32_t crc, std::set<std::wstring>& seen) {
    for (std::size_t slash = name.find_first_of(L"\\/"); slash != std::wstring::npos;
         slash = name.find_first_of(L"\\/", slash + 1)) {
        const std::wstring parent = name.substr(0, slash);
        if (seen.insert(parent).second && !Exists(destination + parent)) job.additions.push_back({parent, true, 0, 0});
    }
    if (seen.insert(name).second && !Exists(destination + name)) job.additions.push_back({name, folder, size, crc});
}

// The extraction's turn on this machine. Setups of other names (other
// editions, a renamed copy) are not kept out by the single-instance mutex;
// when two run at once their extractions and completions take turns, so that
// neither finds a file of the other half written. A turn left by a process
// that ended is free; one held longer than ten minutes is not waited for.
class ExtractionTurn {
public:
    ExtractionTurn() : mutex_(CreateMutexA(nullptr, FALSE, "Global\\QuennelExtraction")) {
        if (mutex_) {
            const DWORD waited = WaitForSingleObject(mutex_.get(), 10 * 60 * 1000);
            owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        }
    }
    ~ExtractionTurn() {
        if (owned_) ReleaseMutex(mutex_.get());
    }
    ExtractionTurn(const ExtractionTurn&) = delete;
    ExtractionTurn& operator=(const ExtractionTurn&) = delete;

private:
    Scoped<ProcessHandleTraits> mutex_;
    bool owned_ = false;
};

}  // namespace

ExtractionJob::~ExtractionJob() {
    if (libraryHandle != nullptr) FreeLibrary(libraryHandle);
}

bool ExtractionJob::CountArchive(const std::string& archive) {
    archivePath = archive;
    libraryFile = PrepareUnrarFile();
    HMODULE module = LoadUnrarLibrary(this);
    if (module == nullptr) return false;
    if (libraryHandle != nullptr) FreeLibrary(libraryHandle);
    libraryHandle = module;
    rarOpenArchiveEx = Resolve<OpenArchiveExProc>(module, "RAROpenArchiveEx");
    rarCloseArchive = Resolve<CloseArchiveProc>(module, "RARCloseArchive");
    rarProcessFile = Resolve<ProcessFileProc>(module, "RARProcessFile");
    rarReadHeaderEx = Resolve<ReadHeaderExProc>(module, "RARReadHeaderEx");
    if (rarOpenArchiveEx == nullptr || rarCloseArchive == nullptr || rarProcessFile == nullptr ||
        rarReadHeaderEx == nullptr) {
        // A library without its entry points is no usable library.
        Tell(this, msgLoadLibraryFailed);
        return false;
    }

    HANDLE handle = OpenArchive(this, archivePath, RAR_OM_LIST);
    if (handle == nullptr) return false;
    const std::wstring destination = Utf8ToWide(AnsiToUtf8(destinationFolder));
    std::set<std::wstring> seen;
    additions.clear();
    auto header = std::make_unique<RARHeaderDataEx>();
    std::vector<char> comment(16384);
    for (;;) {
        std::memset(header.get(), 0, sizeof *header);
        header->CmtBuf = comment.data();
        header->CmtBufSize = static_cast<unsigned>(comment.size());
        const int read = rarReadHeaderEx(handle, header.get());
        if (read != 0) {
            countedWhole = read == ERAR_END_ARCHIVE;
            break;
        }
        ++countedEntries;
        // Links and other redirections are not extracted, so they count for nothing.
        if (header->RedirType == 0) {
            const std::uint64_t size = (static_cast<std::uint64_t>(header->UnpSizeHigh) << 32) + header->UnpSize;
            totalUnpackedSize += static_cast<std::int64_t>(size);
            if (!destinationFolder.empty()) {
                NoteAddition(*this, destination, header->FileNameW, (header->Flags & RHDF_DIRECTORY) != 0, size,
                             header->FileCRC, seen);
            }
        }
        if (rarProcessFile(handle, RAR_SKIP, nullptr, nullptr) != 0) break;
    }
    rarCloseArchive(handle);
    return true;
}

UINT __cdecl ExtractArchive(LPVOID parameter) {
    ExtractionJob* job = static_cast<ExtractionJob*>(parameter);
    const ExtractionTurn turn;
    job->run->runtimeMissing = CheckRuntimeProduct();

    job->end = ExtractionEnd::LibraryNotLoaded;
    HMODULE module = LoadUnrarLibrary(job);
    if (module == nullptr) return 0;
    rarOpenArchiveEx = Resolve<OpenArchiveExProc>(module, "RAROpenArchiveEx");
    rarCloseArchive = Resolve<CloseArchiveProc>(module, "RARCloseArchive");
    rarProcessFile = Resolve<ProcessFileProc>(module, "RARProcessFile");
    rarReadHeader = Resolve<ReadHeaderProc>(module, "RARReadHeader");
    rarReadHeaderEx = Resolve<ReadHeaderExProc>(module, "RARReadHeaderEx");
    rarSetCallback = Resolve<SetCallbackProc>(module, "RARSetCallback");
    if (rarOpenArchiveEx == nullptr || rarCloseArchive == nullptr || rarProcessFile == nullptr ||
        rarReadHeader == nullptr || rarReadHeaderEx == nullptr || rarSetCallback == nullptr) {
        Tell(job, msgLoadLibraryFailed);
        FreeLibrary(module);
        return 0;
    }

    job->end = ExtractionEnd::ArchiveNotOpened;
    HANDLE handle = OpenArchive(job, job->archivePath, RAR_OM_EXTRACT);
    if (handle == nullptr) {
        FreeLibrary(module);
        return 0;
    }
    job->end = ExtractionEnd::EndOfArchive;
    rarSetCallback(handle, OnRarProgress, reinterpret_cast<LPARAM>(job));

    // The library takes the destination in the OEM code page.
    std::vector<char> destination(job->destinationFolder.size() + 1, '\0');
    CharToOemBuffA(job->destinationFolder.c_str(), destination.data(),
                   static_cast<DWORD>(job->destinationFolder.size()));

    // The extended header tells links and other redirections, which are
    // skipped: only files and folders are put into the client folder.
    auto header = std::make_unique<RARHeaderDataEx>();
    for (;;) {
        std::memset(header.get(), 0, sizeof *header);
        const int read = rarReadHeaderEx(handle, header.get());
        if (read != 0) {
            if (read != ERAR_END_ARCHIVE) {
                job->end = ExtractionEnd::EntryFailed;
                job->entryError = read;
            }
            break;
        }
        ++job->entries;
        const int operation = header->RedirType == 0 ? RAR_EXTRACT : RAR_SKIP;
        const int processed = rarProcessFile(handle, operation, destination.data(), nullptr);
        if (processed != 0) {
            job->end = ExtractionEnd::EntryFailed;
            job->entryError = processed;
            job->failedEntry = WideToUtf8(header->FileNameW);
            break;
        }
        if (operation == RAR_EXTRACT && (header->Flags & RHDF_DIRECTORY) == 0) ++job->files;
        // The entry that brought the count to 100 % is written and closed:
        // now the installation can be completed.
        if (job->completionDue && !job->completed) {
            job->completed = true;
            if (job->complete) job->complete(*job->run, job->silent);
        }
    }
    rarCloseArchive(handle);
    FreeLibrary(module);
    return 1;
}

int CALLBACK OnRarProgress(UINT msg, LPARAM userData, LPARAM p1, LPARAM p2) {
    (void)p1;
    if (msg != UCM_PROCESSDATA) return 0;
    ExtractionJob* job = reinterpret_cast<ExtractionJob*>(userData);
    InstallRun& run = *job->run;
    const std::int32_t previous = run.progressPercent;
    run.progressPercent = ReportBlock(run.processedBytes, job->totalUnpackedSize, static_cast<std::uint32_t>(p2),
                                      job->completionDue);
    // The bar moves only when the percentage does: a message per data block
    // would cost a repaint of the visible bar each time.
    if (run.progressPercent != previous && job->progressBar != nullptr) {
        SendMessageA(job->progressBar, PBM_SETPOS, static_cast<WPARAM>(run.progressPercent), 0);
    }
    return 0;
}

namespace {

std::string LibraryErrorText(int error) {
    switch (error) {
        case ERAR_NO_MEMORY: return "not enough memory";
        case ERAR_BAD_DATA: return "damaged data";
        case ERAR_BAD_ARCHIVE: return "not a valid archive";
        case ERAR_UNKNOWN_FORMAT: return "unknown archive format";
        case ERAR_EOPEN: return "the archive could not be opened";
        case ERAR_ECREATE: return "a file could not be created";
        case ERAR_ECLOSE: return "a file could not be closed";
        case ERAR_EREAD: return "a read error";
        case ERAR_EWRITE: return "a write error (is the disk full?)";
        default: return "error " + std::to_string(error);
    }
}

}  // namespace

std::string ExtractionSummary(const ExtractionJob& job) {
    std::string text = std::to_string(job.entries) + " entries, " + std::to_string(job.files) + " files, " +
                       std::to_string(job.run != nullptr ? job.run->processedBytes : 0) + " bytes; ";
    if (job.completed) return text + "completed";
    switch (job.end) {
        case ExtractionEnd::NotRun: return text + "stopped: not started";
        case ExtractionEnd::LibraryNotLoaded: return text + "stopped: the unpacking library could not be loaded";
        case ExtractionEnd::ArchiveNotOpened: return text + "stopped: the archive could not be opened";
        case ExtractionEnd::EntryFailed:
            return text + "stopped: " + (job.failedEntry.empty() ? std::string("reading the next entry") : job.failedEntry) +
                   ": " + LibraryErrorText(job.entryError);
        case ExtractionEnd::EndOfArchive: return text + "stopped: the archive ended before all its data was written";
    }
    return text + "stopped";
}

long CheckRuntimeProduct() {
    HKEY key = nullptr;
    const LONG first = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRuntimeProductKey, 0, KEY_READ, &key);
    if (first == ERROR_SUCCESS) RegCloseKey(key);
    const LONG second = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRuntimeProductKeyWow64, 0, KEY_READ, &key);
    if (second == ERROR_SUCCESS) RegCloseKey(key);
    return (first == ERROR_SUCCESS || second == ERROR_SUCCESS) ? 0 : first;
}
