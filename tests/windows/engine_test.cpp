// The installation engine with the real RAR library, in this process: the
// library is embedded in this test program as the installer embeds it.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "core/shared_state.h"
#include "system/extraction.h"
#include "system/start_program.h"
#include "system/working_files.h"
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
        bar_ = MakeRecordingBar();
    }
    void TearDown() override {
        if (bar_ != nullptr) DestroyWindow(bar_);
        SetEnvironmentVariableA("TMP", savedTmp_.c_str());
    }
    // Runs both passes the way the installer starts them. The engine tells
    // nobody anything, whatever happens.
    void Install(const std::string& archive, ExtractionJob& job, ExtractionEnd* counted = nullptr,
                 ExtractionEnd* extracted = nullptr) {
        if (!archive.empty()) {
            ASSERT_TRUE(wintest::CopyTo(archives_ + archive, temp_ + archiveFileName));
        }
        BoxWatcher watcher;
        job.progressBar = bar_;
        job.run = &run_;
        const ExtractionEnd count = job.CountArchive(temp_ + archiveFileName);
        job.destinationFolder = destination_;
        const ExtractionEnd result = ExtractArchive(job);
        EXPECT_EQ(result, job.end);
        EXPECT_TRUE(watcher.Texts().empty());
        if (counted != nullptr) *counted = count;
        if (extracted != nullptr) *extracted = result;
    }
    void ExpectSameTree(const std::string& extractedRoot) {
        const std::string source = archives_ + "small\\";
        const auto expected = wintest::EntriesBelow(source, false);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(wintest::EntriesBelow(extractedRoot, false), expected);
        for (const std::string& file : expected) {
            EXPECT_EQ(wintest::ReadFileBytes(extractedRoot + file), wintest::ReadFileBytes(source + file)) << file;
        }
    }

    std::string archives_, temp_, savedTmp_, destination_;
    HWND bar_ = nullptr;
    InstallRun run_;
};

TEST_F(Engine, ProgressRisesToHundredOnceAndThePassGoesOnToTheArchivesEnd) {
    ExtractionJob job;
    ExtractionEnd counted = ExtractionEnd::NotRun;
    ExtractionEnd extracted = ExtractionEnd::NotRun;
    Install("small.rar", job, &counted, &extracted);
    EXPECT_EQ(counted, ExtractionEnd::EndOfArchive);
    EXPECT_EQ(extracted, ExtractionEnd::EndOfArchive);
    EXPECT_GT(job.totalUnpackedSize, 3000000);
    EXPECT_EQ(run_.processedBytes, job.totalUnpackedSize);
    EXPECT_TRUE(job.allDataWritten);
    ExpectSameTree(destination_);
    ASSERT_GE(g_positions.size(), 3u) << "the big file arrives in several blocks";
    // Sent only when the percentage moves: strictly rising.
    for (size_t i = 1; i < g_positions.size(); ++i) EXPECT_GT(g_positions[i], g_positions[i - 1]);
    EXPECT_EQ(std::count(g_positions.begin(), g_positions.end(), 100), 1);
    EXPECT_EQ(g_positions.back(), 100);
    EXPECT_EQ(run_.progressPercent, 100);
    // The entries after the last data (an empty folder) are there too.
    EXPECT_TRUE(wintest::FileExists(destination_ + "empty"));
}

TEST_F(Engine, DestinationOutsideAsciiReceivesEveryFile) {
    destination_ = temp_ + "Kund\xE9 \xD6rdner\\";  // ANSI text: "Kundé Ördner"
    ExtractionJob job;
    Install("small.rar", job);
    EXPECT_TRUE(job.allDataWritten);
    ExpectSameTree(destination_);
    EXPECT_EQ(wintest::EntriesBelow(temp_ + "client\\", false).size(), 0u);
}

TEST_F(Engine, WithoutTheBarNoMessageIsSentAndAllDataIsStillWritten) {
    ExtractionJob job;
    ASSERT_TRUE(wintest::CopyTo(archives_ + "small.rar", temp_ + archiveFileName));
    job.run = &run_;
    job.progressBar = nullptr;
    job.CountArchive(temp_ + archiveFileName);
    job.destinationFolder = destination_;
    ExtractArchive(job);
    EXPECT_TRUE(g_positions.empty());
    EXPECT_TRUE(job.allDataWritten);
}

TEST_F(Engine, ArchiveWithoutDataNeverCompletes) {
    ExtractionJob job;
    Install("nodata.rar", job);
    EXPECT_EQ(job.totalUnpackedSize, 0);
    EXPECT_FALSE(job.allDataWritten);
    EXPECT_TRUE(g_positions.empty());
}

TEST_F(Engine, ArchiveThatDoesNotOpenIsReportedByEachPass) {
    ExtractionJob job;
    ExtractionEnd counted = ExtractionEnd::NotRun;
    ExtractionEnd extracted = ExtractionEnd::NotRun;
    Install("notanarchive.rar", job, &counted, &extracted);
    EXPECT_EQ(counted, ExtractionEnd::ArchiveNotOpened);
    EXPECT_EQ(extracted, ExtractionEnd::ArchiveNotOpened);
    EXPECT_TRUE(g_positions.empty());
    EXPECT_FALSE(job.allDataWritten);
}

TEST_F(Engine, LibraryThatDoesNotLoadIsReportedByEachPass) {
    // A folder in the library file's place: it cannot be written or loaded.
    ASSERT_TRUE(CreateDirectoryA((temp_ + unrarFileName).c_str(), nullptr));
    ExtractionJob job;
    ExtractionEnd counted = ExtractionEnd::NotRun;
    ExtractionEnd extracted = ExtractionEnd::NotRun;
    Install("small.rar", job, &counted, &extracted);
    EXPECT_EQ(counted, ExtractionEnd::LibraryNotLoaded);
    EXPECT_EQ(extracted, ExtractionEnd::LibraryNotLoaded);
    EXPECT_FALSE(job.allDataWritten);
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
    ExtractionJob job;
    ExtractionEnd counted = ExtractionEnd::NotRun;
    ExtractionEnd extracted = ExtractionEnd::NotRun;
    Install("small.rar", job, &counted, &extracted);
    // The stranger was never loaded.
    EXPECT_EQ(GetModuleHandleA((temp_ + unrarFileName).c_str()), nullptr);
    CloseHandle(held);
    EXPECT_EQ(counted, ExtractionEnd::LibraryNotLoaded);
    EXPECT_EQ(extracted, ExtractionEnd::LibraryNotLoaded);
}

TEST_F(Engine, EntryThatFailsStopsThePassSilently) {
    {
        ExtractionJob job;
        ExtractionEnd extracted = ExtractionEnd::NotRun;
        Install("damaged.rar", job, nullptr, &extracted);
        EXPECT_EQ(extracted, ExtractionEnd::EntryFailed);
        EXPECT_FALSE(job.allDataWritten);
        EXPECT_LT(run_.progressPercent, 100);
    }
    // A file whose place is taken by a folder cannot be written.
    run_.processedBytes = 0;
    destination_ = temp_ + "blocked\\";
    const auto files = wintest::EntriesBelow(archives_ + "small\\", false);
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
    ExtractionJob job;
    Install("small.rar", job);
    EXPECT_EQ(job.end, ExtractionEnd::EntryFailed);
    EXPECT_FALSE(job.allDataWritten);
    EXPECT_LT(run_.processedBytes, job.totalUnpackedSize);
}

TEST_F(Engine, RuntimeProductIsFoundInEitherView) {
    wintest::DeleteKeyTree(HKEY_LOCAL_MACHINE, kRuntimeProductKey);
    wintest::DeleteKeyTree(HKEY_LOCAL_MACHINE, kRuntimeProductKeyWow64);
    EXPECT_FALSE(RuntimeProductInstalled());

    ASSERT_TRUE(wintest::SetValues(HKEY_LOCAL_MACHINE, kRuntimeProductKey, {{"DisplayName", "runtime"}}));
    EXPECT_TRUE(RuntimeProductInstalled());
    wintest::DeleteKeyTree(HKEY_LOCAL_MACHINE, kRuntimeProductKey);

    ASSERT_TRUE(wintest::SetValues(HKEY_LOCAL_MACHINE, kRuntimeProductKeyWow64, {{"DisplayName", "runtime"}}));
    EXPECT_TRUE(RuntimeProductInstalled());
    wintest::DeleteKeyTree(HKEY_LOCAL_MACHINE, kRuntimeProductKeyWow64);
    EXPECT_FALSE(RuntimeProductInstalled());
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
