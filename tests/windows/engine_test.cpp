// The installation engine with the real RAR library, in this process: the
// library is embedded in this test program as the installer embeds it.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "core/shared_state.h"
#include "system/working_files.h"
#include "app/message_boxes.h"
#include "system/extraction.h"
#include "wintest.h"

namespace {

using wintest::BoxWatcher;
using Texts = std::vector<std::string>;

// Records what the engine sends to the progress bar.
std::vector<int> g_positions;

LRESULT CALLBACK RecordingBar(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == PBM_SETPOS) {
        g_positions.push_back(static_cast<int>(wParam));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND MakeRecordingBar() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA cls{};
        cls.lpfnWndProc = RecordingBar;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "QuennelTestBar";
        RegisterClassA(&cls);
        registered = true;
    }
    return CreateWindowA("QuennelTestBar", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                         nullptr);
}

struct Completion {
    int calls = 0;
    bool silent = true;
    std::int64_t processedAtCall = -1;
    std::function<void()> check;
};
Completion* g_completion = nullptr;

void RecordCompletion(InstallRun& run, bool silent) {
    ++g_completion->calls;
    g_completion->silent = silent;
    g_completion->processedAtCall = run.processedBytes;
    if (g_completion->check) g_completion->check();
}

std::vector<std::string> FilesBelow(const std::string& root, const std::string& relative = "") {
    std::vector<std::string> files;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((root + relative + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            for (const std::string& inner : FilesBelow(root, relative + name + "\\")) files.push_back(inner);
        } else {
            files.push_back(relative + name);
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(files.begin(), files.end());
    return files;
}

class Engine : public testing::Test {
protected:
    void SetUp() override {
        archives_ = wintest::WinPath(wintest::Option("archives")) + "\\";
        ASSERT_TRUE(wintest::FileExists(archives_ + "small.rar")) << archives_;
        temp_ = wintest::MakeTempFolder("engine") + "\\";
        char saved[MAX_PATH] = {};
        GetEnvironmentVariableA("TMP", saved, MAX_PATH);
        savedTmp_ = saved;
        SetEnvironmentVariableA("TMP", temp_.c_str());
        ASSERT_EQ(TempFolder(), temp_);
        destination_ = temp_ + "client\\";
        run_ = InstallRun();
        g_positions.clear();
        completion_ = Completion();
        g_completion = &completion_;
        bar_ = MakeRecordingBar();
    }
    void TearDown() override {
        if (bar_ != nullptr) DestroyWindow(bar_);
        SetEnvironmentVariableA("TMP", savedTmp_.c_str());
    }
    // Runs both passes the way the installer starts them.
    void Install(const std::string& archive, ExtractionJob& job, bool* counted = nullptr, UINT* extracted = nullptr) {
        if (!archive.empty()) {
            ASSERT_TRUE(wintest::CopyTo(archives_ + archive, temp_ + archiveFileName));
        }
        job.progressBar = bar_;
        job.run = &run_;
        job.messages = &boxes_;
        job.complete = RecordCompletion;
        const bool count = job.CountArchive(temp_ + archiveFileName);
        job.destinationFolder = destination_;
        job.silent = false;
        const UINT result = ExtractArchive(&job);
        if (counted != nullptr) *counted = count;
        if (extracted != nullptr) *extracted = result;
    }
    void ExpectSameTree(const std::string& extractedRoot) {
        const std::string source = archives_ + "small\\";
        const auto expected = FilesBelow(source);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(FilesBelow(extractedRoot), expected);
        for (const std::string& file : expected) {
            EXPECT_EQ(wintest::ReadFileBytes(extractedRoot + file), wintest::ReadFileBytes(source + file)) << file;
        }
    }

    std::string archives_, temp_, savedTmp_, destination_;
    HWND bar_ = nullptr;
    MessageBoxes boxes_;
    InstallRun run_;
    Completion completion_;
};

TEST_F(Engine, ProgressRisesToHundredOnceAfterTheLastDataIsWritten) {
    completion_.check = [this] {
        // Every file's data is written and closed when the step runs; the
        // directory entries at the end of the archive are not processed yet.
        ExpectSameTree(destination_);
        EXPECT_FALSE(wintest::FileExists(destination_ + "empty"));
    };
    ExtractionJob job;
    bool counted = false;
    UINT extracted = 9;
    Install("small.rar", job, &counted, &extracted);
    EXPECT_TRUE(counted);
    EXPECT_EQ(extracted, 1u);
    EXPECT_GT(job.totalUnpackedSize, 3000000);
    EXPECT_EQ(run_.processedBytes, job.totalUnpackedSize);
    EXPECT_EQ(completion_.calls, 1);
    EXPECT_FALSE(completion_.silent);
    EXPECT_EQ(completion_.processedAtCall, job.totalUnpackedSize);
    ASSERT_GE(g_positions.size(), 3u) << "the big file arrives in several blocks";
    // Sent only when the percentage moves: strictly rising.
    for (size_t i = 1; i < g_positions.size(); ++i) EXPECT_GT(g_positions[i], g_positions[i - 1]);
    EXPECT_EQ(std::count(g_positions.begin(), g_positions.end(), 100), 1);
    EXPECT_EQ(g_positions.back(), 100);
    EXPECT_EQ(run_.progressPercent, 100);
    // After completion the pass went on with the directory entries.
    EXPECT_TRUE(wintest::FileExists(destination_ + "empty"));
}

TEST_F(Engine, DestinationOutsideAsciiReceivesEveryFile) {
    destination_ = temp_ + "Kund\xE9 \xD6rdner\\";  // ANSI text: "Kundé Ördner"
    ExtractionJob job;
    Install("small.rar", job);
    EXPECT_EQ(completion_.calls, 1);
    ExpectSameTree(destination_);
    EXPECT_EQ(FilesBelow(temp_ + "client\\").size(), 0u);
}

TEST_F(Engine, WithoutTheBarNoMessageIsSentAndCompletionStillRuns) {
    ExtractionJob job;
    ASSERT_TRUE(wintest::CopyTo(archives_ + "small.rar", temp_ + archiveFileName));
    job.complete = RecordCompletion;
    job.run = &run_;
    job.progressBar = nullptr;
    job.CountArchive(temp_ + archiveFileName);
    job.destinationFolder = destination_;
    job.silent = true;
    ExtractArchive(&job);
    EXPECT_TRUE(g_positions.empty());
    EXPECT_EQ(completion_.calls, 1);
    EXPECT_TRUE(completion_.silent);
}

TEST_F(Engine, ArchiveWithoutDataNeverCompletes) {
    ExtractionJob job;
    Install("nodata.rar", job);
    EXPECT_EQ(job.totalUnpackedSize, 0);
    EXPECT_EQ(completion_.calls, 0);
    EXPECT_TRUE(g_positions.empty());
}

TEST_F(Engine, ArchiveThatDoesNotOpenIsReportedByEachPass) {
    BoxWatcher watcher;
    ExtractionJob job;
    bool counted = true;
    UINT extracted = 9;
    Install("notanarchive.rar", job, &counted, &extracted);
    EXPECT_FALSE(counted);
    EXPECT_EQ(extracted, 0u);
    EXPECT_EQ(watcher.Texts(), (Texts{msgArchiveOpenFailed, msgArchiveOpenFailed}));
    EXPECT_TRUE(g_positions.empty());
    EXPECT_EQ(completion_.calls, 0);
}

TEST_F(Engine, LibraryThatDoesNotLoadIsReportedByEachPass) {
    // A folder in the library file's place: it cannot be written or loaded.
    ASSERT_TRUE(CreateDirectoryA((temp_ + unrarFileName).c_str(), nullptr));
    BoxWatcher watcher;
    ExtractionJob job;
    bool counted = true;
    UINT extracted = 9;
    Install("small.rar", job, &counted, &extracted);
    EXPECT_FALSE(counted);
    EXPECT_EQ(extracted, 0u);
    EXPECT_EQ(watcher.Texts(), (Texts{msgLoadLibraryFailed, msgLoadLibraryFailed}));
    EXPECT_EQ(completion_.calls, 0);
    EXPECT_FALSE(wintest::FileExists(destination_));
}

TEST_F(Engine, LibraryWithoutTheEntryPointsCountsAsNotLoadable) {
    // Another DLL stands in the library's place, held open so that the copy
    // from the resources cannot replace it.
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    ASSERT_TRUE(wintest::CopyTo(std::string(system) + "\\version.dll", temp_ + unrarFileName));
    HANDLE held = CreateFileA((temp_ + unrarFileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    BoxWatcher watcher;
    ExtractionJob job;
    bool counted = true;
    UINT extracted = 9;
    Install("small.rar", job, &counted, &extracted);
    // The stranger was never loaded.
    EXPECT_EQ(GetModuleHandleA((temp_ + unrarFileName).c_str()), nullptr);
    CloseHandle(held);
    EXPECT_FALSE(counted);
    EXPECT_EQ(extracted, 0u);
    EXPECT_EQ(watcher.Texts(), (Texts{msgLoadLibraryFailed, msgLoadLibraryFailed}));
    EXPECT_EQ(completion_.calls, 0);
}

TEST_F(Engine, EntryThatFailsStopsThePassSilently) {
    {
        BoxWatcher watcher;
        ExtractionJob job;
        UINT extracted = 9;
        Install("damaged.rar", job, nullptr, &extracted);
        EXPECT_EQ(extracted, 1u);
        EXPECT_EQ(completion_.calls, 0);
        EXPECT_LT(run_.progressPercent, 100);
        EXPECT_TRUE(watcher.Texts().empty());
    }
    // A file whose place is taken by a folder cannot be written.
    run_.processedBytes = 0;
    destination_ = temp_ + "blocked\\";
    const auto files = FilesBelow(archives_ + "small\\");
    ASSERT_FALSE(files.empty());
    ASSERT_TRUE(CreateDirectoryA(destination_.c_str(), nullptr));
    for (const std::string& file : files) {
        std::string path = destination_;
        for (char c : file) {
            if (c == '\\') CreateDirectoryA(path.c_str(), nullptr);
            path.push_back(c);
        }
        ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
    }
    BoxWatcher watcher;
    ExtractionJob job;
    Install("small.rar", job);
    EXPECT_EQ(completion_.calls, 0);
    EXPECT_LT(run_.processedBytes, job.totalUnpackedSize);
}

TEST_F(Engine, RuntimeProductIsFoundInEitherView) {
    wintest::DeleteKeyTree(HKEY_LOCAL_MACHINE, kRuntimeProductKey);
    wintest::DeleteKeyTree(HKEY_LOCAL_MACHINE, kRuntimeProductKeyWow64);
    EXPECT_EQ(CheckRuntimeProduct(), ERROR_FILE_NOT_FOUND);

    ASSERT_TRUE(wintest::SetValues(HKEY_LOCAL_MACHINE, kRuntimeProductKey, {{"DisplayName", "runtime"}}));
    EXPECT_EQ(CheckRuntimeProduct(), 0);
    wintest::DeleteKeyTree(HKEY_LOCAL_MACHINE, kRuntimeProductKey);

    ASSERT_TRUE(wintest::SetValues(HKEY_LOCAL_MACHINE, kRuntimeProductKeyWow64, {{"DisplayName", "runtime"}}));
    EXPECT_EQ(CheckRuntimeProduct(), 0);
    // The extraction pass records the result for the finish page.
    ExtractionJob job;
    Install("nodata.rar", job);
    EXPECT_EQ(run_.runtimeMissing, 0);
    wintest::DeleteKeyTree(HKEY_LOCAL_MACHINE, kRuntimeProductKeyWow64);
    EXPECT_NE(CheckRuntimeProduct(), 0);
}

TEST_F(Engine, WorkingFilesAreTheInstallersOwnBytesAndHeldUntilUsed) {
    const std::string library = wintest::ReadFileBytes(wintest::WinPath(wintest::Option("unrar")));
    const std::string path = temp_ + unrarFileName;
    ASSERT_GT(library.size(), 10000u);
    ASSERT_TRUE(wintest::WriteFileBytes(path, "an older, different file"));
    {
        const HeldWorkingFile file = PrepareUnrarFile();
        EXPECT_EQ(file.State(), WorkingFile::Written);
        EXPECT_EQ(file.Bytes(), static_cast<long long>(library.size()));
        EXPECT_EQ(wintest::ReadFileBytes(path), library);
        // Held: readable, but nobody can change, replace or remove it.
        EXPECT_FALSE(wintest::WriteFileBytes(path, "planted"));
        EXPECT_FALSE(DeleteFileA(path.c_str()));
        EXPECT_FALSE(MoveFileExA(path.c_str(), (path + ".moved").c_str(), MOVEFILE_REPLACE_EXISTING));
    }
    EXPECT_TRUE(wintest::WriteFileBytes(path, "planted")) << "released with its object";

    // A file another process holds open cannot be replaced: it is used only
    // when it holds the resource's bytes, and nobody is told either way.
    BoxWatcher watcher;
    for (const std::string& standing : {library, std::string("planted")}) {
        ASSERT_TRUE(wintest::WriteFileBytes(path, standing));
        for (DWORD sharing : {DWORD(FILE_SHARE_READ), DWORD(0)}) {
            HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
            const HeldWorkingFile file = PrepareUnrarFile();
            CloseHandle(held);
            const bool usable = standing == library && sharing != 0;
            EXPECT_EQ(file.State(), usable ? WorkingFile::Verified : WorkingFile::Foreign) << sharing;
            EXPECT_EQ(file.Usable(), usable);
            EXPECT_EQ(wintest::ReadFileBytes(path), standing);
        }
    }
    EXPECT_TRUE(watcher.Texts().empty());
}

}  // namespace
