// The installation engine: puts the payload archive's translation files into
// the client's folder through the RAR library, with progress, and runs the
// completion step when all data has been written.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "core/install_run.h"
#include "core/user_messages.h"
#include "system/working_files.h"

// The runtime product whose installer the finish page may start.
extern const char* const kRuntimeProductKey;
extern const char* const kRuntimeProductKeyWow64;

// How the extraction pass ended.
enum class ExtractionEnd { NotRun, LibraryNotLoaded, ArchiveNotOpened, EntryFailed, EndOfArchive };

class ExtractionJob {
public:
    ExtractionJob() = default;
    ~ExtractionJob();
    ExtractionJob(const ExtractionJob&) = delete;
    ExtractionJob& operator=(const ExtractionJob&) = delete;

    // The counting pass: writes and loads the library, adds up the unpacked
    // sizes of all entries. False when the library cannot be loaded or the
    // archive cannot be opened (the user has been told).
    bool CountArchive(const std::string& archive);

    InstallRun* run = nullptr;           // the run: its progress and the runtime product
    UserMessages* messages = nullptr;    // told why a pass could not run
    HWND progressBar = nullptr;          // the main window's bar; none on the silent road
    std::int64_t totalUnpackedSize = 0;  // filled by the counting pass, never reset
    bool silent = false;                 // handed to the completion step
    std::string destinationFolder;       // the client folder, with its trailing backslash
    std::string archivePath;             // the temporary folder + "setup.rar"
    HMODULE libraryHandle = nullptr;     // loaded by the counting pass, released with the job

    // The working files the passes use, held until the job goes. An archive
    // prepared but not usable (not the installer's own bytes) is never
    // opened; one never prepared (a test's own archive) is opened by its path.
    HeldWorkingFile archiveFile;         // setup.rar
    HeldWorkingFile libraryFile;         // setup.dll, prepared by the first pass that loads it

    // What the extraction adds below the destination, found by the counting
    // pass when the destination is set: each file and folder of the archive
    // with nothing at its place yet, and the folders above them that do not
    // exist either (paths relative to the destination).
    struct Addition {
        std::wstring path;
        bool folder = false;
        std::uint64_t size = 0;
        std::uint32_t crc = 0;  // the archive's CRC-32 of the file's bytes
    };
    std::vector<Addition> additions;

    // What the passes did, for the run's log.
    long long uninstallerFileBytes = -1;  // uninstall.exe as written, -1 not written
    std::int64_t countedEntries = 0;     // entries the counting pass read
    bool countedWhole = false;           // the counting pass read the archive to its end
    ExtractionEnd end = ExtractionEnd::NotRun;
    std::int64_t entries = 0;            // entries the extraction pass handled
    std::int64_t files = 0;              // of them, files written
    int entryError = 0;                  // the library's error for the entry that failed
    std::string failedEntry;             // its name, UTF-8

    // The completion step, entered once when all data has been written.
    std::function<void(InstallRun& run, bool silent)> complete;
    bool completionDue = false;
    bool completed = false;
};

// "E entries, F files, B bytes; completed" or "...; stopped: why".
std::string ExtractionSummary(const ExtractionJob& job);

// The extraction pass; the worker-thread entry (the parameter is the job).
// 0 when the library cannot be loaded or the archive cannot be opened, 1 in
// every other case, including an extraction that stopped early.
UINT __cdecl ExtractArchive(LPVOID job);

// The library's callback; the user data is the job. Always continues.
int CALLBACK OnRarProgress(UINT msg, LPARAM userData, LPARAM p1, LPARAM p2);

// 0 when the runtime product's Uninstall key opens in either registry view,
// otherwise the error of the first probe.
long CheckRuntimeProduct();
