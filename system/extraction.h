// The installation engine: puts the payload archive's translation files into
// the client's folder through the RAR library, with progress. It tells no one
// anything: each pass says how it ended, and the job keeps what it did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "dll.hpp"

#include "core/install_run.h"
#include "system/scoped.h"
#include "system/working_files.h"

// How a pass over the archive ended.
enum class ExtractionEnd {
    NotRun,            // no pass ran
    LibraryNotLoaded,  // the RAR library could not be loaded, or lacks an entry point
    ArchiveNotOpened,  // the archive is not usable or does not open
    EntryFailed,       // an entry (or the next header) could not be read or written
    EndOfArchive,      // every entry was handled
};

// The RAR library, loaded from the installer's own working copy, and the
// entry points the passes call. Released when the object goes.
class UnrarLibrary {
public:
    // Loads the library from this working file, by its full path, and only
    // when the file holds exactly the library the installer carries. False
    // when it cannot be loaded or lacks an entry point.
    bool Load(const HeldWorkingFile& file);
    bool Loaded() const { return static_cast<bool>(module_); }

    HANDLE(PASCAL* openArchiveEx)(RAROpenArchiveDataEx*) = nullptr;
    int(PASCAL* closeArchive)(HANDLE) = nullptr;
    int(PASCAL* processFile)(HANDLE, int, char*, char*) = nullptr;
    int(PASCAL* readHeaderEx)(HANDLE, RARHeaderDataEx*) = nullptr;
    void(PASCAL* setCallback)(HANDLE, UNRARCALLBACK, LPARAM) = nullptr;

private:
    ScopedModule module_;
};

class ExtractionJob {
public:
    // The counting pass: prepares and loads the library, adds up the unpacked
    // sizes of all entries and, when the destination is set, notes what the
    // extraction will add. EndOfArchive when the archive was read (to its end
    // or not: see countedWhole).
    ExtractionEnd CountArchive(const std::string& archive);

    InstallRun* run = nullptr;           // the run: its progress
    HWND progressBar = nullptr;          // the progress window's bar; none on the roads without windows
    std::int64_t totalUnpackedSize = 0;  // filled by the counting pass, never reset
    std::string destinationFolder;       // the client folder, with its trailing backslash
    std::string archivePath;             // the temporary folder + "setup.rar"
    UnrarLibrary library;                // loaded by the first pass that needs it

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

    // The progress reached 100 %, and the entry that brought it there was
    // written and closed: the installation can be completed.
    bool completionDue = false;
    bool allDataWritten = false;
};

// "E entries, F files, B bytes; completed" or "...; stopped: why".
std::string ExtractionSummary(const ExtractionJob& job);

// The extraction pass, to the archive's end (or the first entry that fails).
// Safe to run on a worker thread: it touches only the job, its run's progress
// and the progress bar.
ExtractionEnd ExtractArchive(ExtractionJob& job);

// The extraction's turn on this machine. Setups of other names (other
// editions, a renamed copy) are not kept out by the single-instance mutex;
// when two run at once their extractions and completions take turns, so that
// neither finds a file of the other half written. A turn left by a process
// that ended is free; one held longer than ten minutes is not waited for.
// The turn belongs to the thread that took it, until the object goes.
class ExtractionTurn {
public:
    // Waits for the turn; a thread with windows goes on handling their
    // messages while it waits.
    explicit ExtractionTurn(bool threadHasWindows);
    ~ExtractionTurn();
    ExtractionTurn(const ExtractionTurn&) = delete;
    ExtractionTurn& operator=(const ExtractionTurn&) = delete;

private:
    ScopedHandle mutex_;
    bool owned_ = false;
};
