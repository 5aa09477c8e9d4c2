#include "system/extraction.h"

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "core/progress.h"
#include "system/run_log.h"

namespace {

template <typename Proc>
bool Resolve(HMODULE module, const char* name, Proc& proc) {
    proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return proc != nullptr;
}

// The library's callback; the user data is the job. Always continues.
int CALLBACK OnRarProgress(UINT msg, LPARAM userData, LPARAM p1, LPARAM p2);

// Loads the job's library when no pass has yet, from the working file the
// job holds (preparing it first when no pass has).
bool LoadLibraryOf(ExtractionJob& job) {
    if (job.library.Loaded()) return true;
    if (job.libraryFile.State() == WorkingFile::NotPrepared) job.libraryFile = PrepareUnrarFile();
    return job.library.Load(job.libraryFile);
}

// An open archive, closed through the library when it goes.
class OpenArchive {
public:
    OpenArchive(const ExtractionJob& job, unsigned mode) : library_(job.library) {
        if (job.archiveFile.State() != WorkingFile::NotPrepared && !job.archiveFile.Usable()) return;
        RAROpenArchiveDataEx open;
        std::memset(&open, 0, sizeof open);
        std::vector<char> name(job.archivePath.begin(), job.archivePath.end());
        name.push_back('\0');
        open.ArcName = name.data();
        open.OpenMode = mode;
        handle_ = library_.openArchiveEx(&open);
        if (handle_ != nullptr && open.OpenResult != 0) {
            library_.closeArchive(handle_);
            handle_ = nullptr;
        }
    }
    ~OpenArchive() {
        if (handle_ != nullptr) library_.closeArchive(handle_);
    }
    OpenArchive(const OpenArchive&) = delete;
    OpenArchive& operator=(const OpenArchive&) = delete;
    HANDLE get() const { return handle_; }

private:
    const UnrarLibrary& library_;
    HANDLE handle_ = nullptr;
};

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

// Waits for a handle; a thread with windows handles their messages meanwhile.
DWORD WaitHandlingMessages(HANDLE handle, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return WAIT_TIMEOUT;
        const DWORD waited = MsgWaitForMultipleObjects(1, &handle, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        if (waited != WAIT_OBJECT_0 + 1) return waited;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return WAIT_TIMEOUT;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

}  // namespace

bool UnrarLibrary::Load(const HeldWorkingFile& file) {
    if (!file.Usable()) return false;
    const std::string& path = file.Path();
    // Its own imports come from the system folder only, never from the
    // temporary folder. A Windows 7 without the update that added the
    // search flags refuses them: there the library's own folder is
    // searched first for its imports, not the installer's folder.
    ScopedModule module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER) {
        module.reset(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    }
    if (!module) return false;
    // A library without its entry points is no usable library.
    if (!Resolve(module.get(), "RAROpenArchiveEx", openArchiveEx) ||
        !Resolve(module.get(), "RARCloseArchive", closeArchive) ||
        !Resolve(module.get(), "RARProcessFile", processFile) ||
        !Resolve(module.get(), "RARReadHeaderEx", readHeaderEx) ||
        !Resolve(module.get(), "RARSetCallback", setCallback)) {
        return false;
    }
    module_ = std::move(module);
    return true;
}

ExtractionEnd ExtractionJob::CountArchive(const std::string& archive) {
    archivePath = archive;
    library = UnrarLibrary();
    libraryFile = PrepareUnrarFile();
    if (!LoadLibraryOf(*this)) return ExtractionEnd::LibraryNotLoaded;

    const OpenArchive opened(*this, RAR_OM_LIST);
    if (opened.get() == nullptr) return ExtractionEnd::ArchiveNotOpened;
    const std::wstring destination = Utf8ToWide(AnsiToUtf8(destinationFolder));
    std::set<std::wstring> seen;
    additions.clear();
    auto header = std::make_unique<RARHeaderDataEx>();
    std::vector<char> comment(16384);
    for (;;) {
        std::memset(header.get(), 0, sizeof *header);
        header->CmtBuf = comment.data();
        header->CmtBufSize = static_cast<unsigned>(comment.size());
        const int read = library.readHeaderEx(opened.get(), header.get());
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
        if (library.processFile(opened.get(), RAR_SKIP, nullptr, nullptr) != 0) break;
    }
    return ExtractionEnd::EndOfArchive;
}

ExtractionEnd ExtractArchive(ExtractionJob& job) {
    job.end = ExtractionEnd::LibraryNotLoaded;
    if (!LoadLibraryOf(job)) return job.end;

    job.end = ExtractionEnd::ArchiveNotOpened;
    const OpenArchive opened(job, RAR_OM_EXTRACT);
    if (opened.get() == nullptr) return job.end;
    job.end = ExtractionEnd::EndOfArchive;
    job.library.setCallback(opened.get(), OnRarProgress, reinterpret_cast<LPARAM>(&job));

    // The library takes the destination in the OEM code page.
    std::vector<char> destination(job.destinationFolder.size() + 1, '\0');
    CharToOemBuffA(job.destinationFolder.c_str(), destination.data(), static_cast<DWORD>(job.destinationFolder.size()));

    // The extended header tells links and other redirections, which are
    // skipped: only files and folders are put into the client folder.
    auto header = std::make_unique<RARHeaderDataEx>();
    for (;;) {
        std::memset(header.get(), 0, sizeof *header);
        const int read = job.library.readHeaderEx(opened.get(), header.get());
        if (read != 0) {
            if (read != ERAR_END_ARCHIVE) {
                job.end = ExtractionEnd::EntryFailed;
                job.entryError = read;
            }
            break;
        }
        ++job.entries;
        const int operation = header->RedirType == 0 ? RAR_EXTRACT : RAR_SKIP;
        const int processed = job.library.processFile(opened.get(), operation, destination.data(), nullptr);
        if (processed != 0) {
            job.end = ExtractionEnd::EntryFailed;
            job.entryError = processed;
            job.failedEntry = WideToUtf8(header->FileNameW);
            break;
        }
        if (operation == RAR_EXTRACT && (header->Flags & RHDF_DIRECTORY) == 0) ++job.files;
        // The entry that brought the count to 100 % is written and closed.
        if (job.completionDue) job.allDataWritten = true;
    }
    return job.end;
}

namespace {

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
    if (job.allDataWritten) return text + "completed";
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

ExtractionTurn::ExtractionTurn(bool threadHasWindows) : mutex_(CreateMutexA(nullptr, FALSE, "Global\\QuennelExtraction")) {
    if (!mutex_) return;
    const DWORD timeoutMs = 10 * 60 * 1000;
    const DWORD waited = threadHasWindows ? WaitHandlingMessages(mutex_.get(), timeoutMs)
                                          : WaitForSingleObject(mutex_.get(), timeoutMs);
    owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

ExtractionTurn::~ExtractionTurn() {
    if (owned_) ReleaseMutex(mutex_.get());
}
