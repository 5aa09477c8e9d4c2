// Unattended deployment of the real installer executable, as a software
// distribution tool runs it: /quiet, /check, /languages=, /log=,
// /forcecloseapplications and /help, judged by exit code, by the files and
// the log it leaves and by the windows it does not show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "core/language_catalogue.h"
#include "core/shared_state.h"
#include "resources/resource.h"
#include "test_client.h"
#include "wintest.h"

namespace {

using wintest::Box;
using wintest::Child;
using Texts = std::vector<std::string>;

constexpr int kSelectAll = IDC_LANGUAGE_SELECT_ALL, kLanguageClose = IDC_LANGUAGE_CLOSE, kAgreement = IDC_LANGUAGE_AGREEMENT,
              kInstallNow = IDC_LANGUAGE_INSTALL, kFinishClose = IDC_FINISH_CLOSE;
constexpr DWORD kRunMs = 120000;
const char* kAllCodes = "0,2,3,4,5,6,7,8,9,10,11,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,31,32,33,34,35,36";
const char* kNotValid = "The command line is not valid:";

struct Result {
    bool ended = false;
    DWORD code = 999;
    bool sawWindow = true;
    std::vector<Box> boxes;
};

std::wstring Wide(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                        &wide[0], static_cast<int>(wide.size()))));
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    std::string utf8(wide.size() * 4, '\0');
    utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                                        &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

std::string ReadWide(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

bool IsStamp(const std::string& line) {
    const char* form = "dddd-dd-dd dd:dd:dd.ddd ";
    if (line.size() < 24) return false;
    for (size_t i = 0; i < 24; ++i) {
        if (form[i] == 'd' ? !isdigit(static_cast<unsigned char>(line[i])) : line[i] != form[i]) return false;
    }
    return true;
}

// The texts of a log's lines without their time stamps; a fault of the form
// (not UTF-8, a line without its stamp or its CRLF) goes into `problem`.
Texts LogTexts(const std::string& log, std::string& problem) {
    Texts texts;
    if (!log.empty() &&
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, log.data(), static_cast<int>(log.size()), nullptr, 0) == 0) {
        problem = "not UTF-8";
    }
    if (log.size() < 2 || log.compare(log.size() - 2, 2, "\r\n") != 0) problem = "does not end with CRLF";
    for (size_t start = 0; start < log.size();) {
        size_t end = log.find("\r\n", start);
        if (end == std::string::npos) end = log.size();
        const std::string line = log.substr(start, end - start);
        if (!IsStamp(line) || line.find('\n') != std::string::npos) problem = "bad line: " + line;
        texts.push_back(line.size() >= 24 ? line.substr(24) : line);
        start = end + 2;
    }
    return texts;
}

int CountStarting(const Texts& texts, const std::string& prefix) {
    return static_cast<int>(
        std::count_if(texts.begin(), texts.end(), [&](const std::string& t) { return t.rfind(prefix, 0) == 0; }));
}

std::string FirstStarting(const Texts& texts, const std::string& prefix) {
    for (const std::string& text : texts) {
        if (text.rfind(prefix, 0) == 0) return text;
    }
    return std::string();
}

// The end of a log's last line: ", exit code N".
std::string ExitCodeOf(const Texts& texts) {
    if (texts.empty()) return "(no log)";
    const std::string& last = texts.back();
    const size_t at = last.rfind(", exit code ");
    return last.rfind("end: ", 0) != 0 || at == std::string::npos ? "(not an end line) " + last : last.substr(at);
}

std::string LogArgument(const std::string& path) { return "/log=\"" + path + "\""; }

bool Contains(const Texts& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Bytes and files of a folder tree.
void TreeSize(const std::string& folder, long long& bytes, int& files) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            TreeSize(folder + name + "\\", bytes, files);
        } else {
            bytes += (static_cast<long long>(data.nFileSizeHigh) << 32) + data.nFileSizeLow;
            ++files;
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
}


class Unattended : public testing::Test {
protected:
    void SetUp() override {
        quennel_ = wintest::WinPath(wintest::Option("quennel"));
        standin_ = wintest::WinPath(wintest::Option("standin"));
        tree_ = wintest::WinPath(wintest::Option("payload-tree")) + "\\";
        ASSERT_TRUE(wintest::FileExists(quennel_)) << quennel_;
        ASSERT_TRUE(wintest::FileExists(standin_)) << standin_;
        ASSERT_TRUE(wintest::FileExists(tree_ + "client\\translations"));
        // A tool left running would turn every quiet run into 170.
        ASSERT_EQ(wintest::ProcessByName("Ombrix.exe"), 0u) << "a client tool is running";
        installation_.reset(new wintest::Installation("unattended"));
        root_ = installation_->root;
        temp_ = installation_->temp;
        client_ = &installation_->client;
    }
    void TearDown() override { installation_.reset(); }

    void InstallClient(const wintest::ClientValues& values = wintest::ClientValues()) {
        ASSERT_TRUE(client_->Install(values));
        original_ = wintest::ReadFileBytes(client_->reference);
    }
    Texts Copies() const {
        return {wintest::ReadFileBytes(client_->publicCopy), wintest::ReadFileBytes(client_->install),
                wintest::ReadFileBytes(client_->reference)};
    }
    Texts Originals() const { return {original_, original_, original_}; }
    std::string Updated(const std::string& codes) const {
        std::string text = original_;
        text.replace(text.find("<Value>0,2<"), 11, "<Value>" + codes + "<");
        text.replace(text.find("<Value>false<"), 13, "<Value>true<");
        return text;
    }
    bool Extracted() const { return wintest::FileExists(client_->clientFolder + "client\\translations"); }
    // Nothing of the installation happened: copies as they were, nothing
    // extracted, no working file in the temporary folder.
    void ExpectNothingDone(const std::string& what) {
        EXPECT_EQ(Copies(), Originals()) << what;
        EXPECT_FALSE(Extracted()) << what;
        EXPECT_EQ(wintest::Entries(temp_, false), Texts{}) << what;
    }

    Result Finish(Child& child) {
        Result result;
        result.ended = child.RunToEnd(result.boxes, kRunMs, &result.code);
        result.sawWindow = child.SawWindow();
        return result;
    }
    Result Run(const std::string& arguments) {
        Child child;
        if (!child.Start(quennel_, arguments)) {
            ADD_FAILURE() << "cannot start " << arguments;
            return Result();
        }
        return Finish(child);
    }
    Result RunWide(const std::wstring& arguments) {
        Child child;
        if (!child.StartWide(Wide(quennel_), arguments)) {
            ADD_FAILURE() << "cannot start the installer";
            return Result();
        }
        return Finish(child);
    }
    // An unattended run: it ends by itself with this code, without a window.
    static void ExpectQuiet(const Result& result, DWORD code, const std::string& what) {
        EXPECT_TRUE(result.ended) << what << ": did not end";
        EXPECT_EQ(result.code, code) << what;
        EXPECT_FALSE(result.sawWindow) << what << ": showed a window";
        for (const Box& box : result.boxes) ADD_FAILURE() << what << ": showed a box: " << box.text;
    }
    void StartTool(Child& tool) {
        const std::string folder = wintest::MakeTempFolder("tool");
        ASSERT_TRUE(wintest::CopyTo(standin_, folder + "\\Ombrix.exe"));
        ASSERT_TRUE(tool.Start(folder + "\\Ombrix.exe", "120"));
        ASSERT_TRUE(wintest::WaitUntil([] { return wintest::ProcessByName("Ombrix.exe") != 0; }, 10000));
    }

    std::string quennel_, standin_, tree_, root_, temp_, original_;
    std::unique_ptr<wintest::Installation> installation_;
    wintest::TestClient* client_ = nullptr;
};

TEST_F(Unattended, QuietInstallsTheChosenLanguagesLogsInUtf8AndCheckTellsBeforeAndAfter) {
    InstallClient();
    // A log folder with blanks and letters outside the ANSI code page.
    const std::wstring logFolder = Wide(root_) + L"\\Журнал Αρχείο";
    ASSERT_TRUE(CreateDirectoryW(logFolder.c_str(), nullptr));
    const std::wstring logPath = logFolder + L"\\Quennel log.txt";
    const std::wstring logArgument = L"/log=\"" + logPath + L"\"";

    // Before: the client qualifies but lacks the languages; nothing is written.
    ExpectQuiet(Run("/CHECK /languages=34,35"), 1, "check before");
    ExpectQuiet(Run("/check"), 1, "check of all before");
    ExpectNothingDone("check");

    const std::wstring install = L"/Quiet /languages=34,35 " + logArgument;
    ExpectQuiet(RunWide(install), 0, "install");
    // The client's current interface language (English) is kept.
    for (const std::string& copy : Copies()) EXPECT_EQ(copy, Updated("0,34,35"));
    // The whole payload is extracted, whatever the languages chosen.
    for (const char* root : {"client\\translations\\", "server\\translations\\"}) {
        EXPECT_EQ(wintest::Entries(client_->clientFolder + root, true), wintest::Entries(tree_ + root, true)) << root;
    }
    const std::string thai = "server\\translations\\Thai\\Server.s_th.qm";
    EXPECT_EQ(wintest::ReadFileBytes(client_->clientFolder + thai), wintest::ReadFileBytes(tree_ + thai));

    std::string problem;
    const std::string log = ReadWide(logPath);
    const Texts texts = LogTexts(log, problem);
    EXPECT_EQ(problem, "") << log;
    ASSERT_FALSE(texts.empty());
    const std::string start = texts.front();
    EXPECT_EQ(start.rfind("start: Quennel Language Pack ", 0), 0u) << start;
    EXPECT_NE(start.find(", brand Kestrova, edition "), std::string::npos) << start;
    const std::string commandLine = Utf8(L"\"" + Wide(quennel_) + L"\" " + install);
    const size_t lineAt = start.find(", command line: ");
    EXPECT_EQ(lineAt == std::string::npos ? start : start.substr(lineAt + 16), commandLine);
    const std::string key = wintest::ClientKeyPath();
    EXPECT_NE(FirstStarting(texts, "client: key ").find(key.substr(key.rfind('\\') + 1)), std::string::npos) << log;
    EXPECT_TRUE(Contains(texts, "client: folder " + client_->clientFolder)) << log;
    EXPECT_TRUE(Contains(texts, "client: reference copy " + client_->reference)) << log;
    EXPECT_TRUE(Contains(texts, "client: public copy " + client_->publicCopy)) << log;
    EXPECT_TRUE(Contains(texts, "client: install copy " + client_->install)) << log;
    EXPECT_TRUE(Contains(texts, "check: the client qualifies")) << log;
    const size_t payloadBytes = wintest::ReadFileBytes(wintest::WinPath(wintest::Option("payload"))).size();
    EXPECT_TRUE(Contains(texts, "working file: " + temp_ + "setup.rar written (" + std::to_string(payloadBytes) +
                                    " bytes)")) << log;
    long long treeBytes = 0;
    int treeFiles = 0;
    TreeSize(tree_, treeBytes, treeFiles);
    long long counted = -1, entries = -1, extracted = -1, files = -1, extractedEntries = -1;
    EXPECT_EQ(std::sscanf(FirstStarting(texts, "counted: ").c_str(), "counted: %lld bytes in %lld entries", &counted,
                          &entries), 2) << log;
    EXPECT_EQ(counted, treeBytes);
    const std::string extraction = FirstStarting(texts, "extraction: ");
    EXPECT_EQ(std::sscanf(extraction.c_str(), "extraction: %lld entries, %lld files, %lld bytes", &extractedEntries,
                          &files, &extracted), 3) << log;
    EXPECT_EQ(extracted, treeBytes);
    EXPECT_TRUE(files > 0 && files <= treeFiles && extractedEntries <= entries) << extraction;
    EXPECT_EQ(extraction.substr(extraction.size() < 11 ? 0 : extraction.size() - 11), "; completed") << extraction;
    for (const std::string& copy : {client_->publicCopy, client_->install, client_->reference}) {
        EXPECT_TRUE(Contains(texts, "copy: " + copy + ": updated")) << log;
    }
    EXPECT_EQ(CountStarting(texts, "message "), 0) << log;
    EXPECT_EQ(ExitCodeOf(texts), ", exit code 0");

    // After: the chosen languages (or fewer) are there, all 33 are not.
    const std::string copiesAfter = Copies()[0];
    ExpectQuiet(RunWide(L"/check /languages=34,35 " + logArgument), 0, "check after");
    ExpectQuiet(Run("/check /languages=35"), 0, "check of a part");
    ExpectQuiet(Run("/check"), 1, "check of all after");
    EXPECT_EQ(Copies(), (Texts{copiesAfter, copiesAfter, copiesAfter}));
    // The check's run is appended to the same log.
    const std::string appended = ReadWide(logPath);
    ASSERT_EQ(appended.compare(0, log.size(), log), 0) << "the log was not appended to";
    const Texts more = LogTexts(appended.substr(log.size()), problem);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(CountStarting(more, "start: "), 1);
    EXPECT_TRUE(Contains(more, "check: the client qualifies"));
    EXPECT_EQ(CountStarting(more, "copy: "), 0) << "a check writes no copy";
    EXPECT_EQ(ExitCodeOf(more), ", exit code 0");

    // A copy without the multilingual mark set is not installed yet; a copy
    // without the mark element, or no copy at all, does not count against.
    std::string unmarked = copiesAfter;
    unmarked.replace(unmarked.find("<Value>true<"), 12, "<Value>false<");
    ASSERT_TRUE(wintest::WriteFileBytes(client_->install, unmarked));
    ExpectQuiet(Run("/check /languages=34,35"), 1, "check with the mark unset");
    std::string noMark = copiesAfter;
    const size_t markAt = noMark.find("    <MultilingualInstallation>");
    noMark.erase(markAt, noMark.find("<Keep") - markAt);
    ASSERT_TRUE(wintest::WriteFileBytes(client_->install, noMark));
    ASSERT_TRUE(DeleteFileA(client_->publicCopy.c_str()));
    ExpectQuiet(Run("/check /languages=34,35"), 0, "check without the mark element and the public copy");
}

TEST_F(Unattended, WithoutAClientQuietAndCheckEnd1605AndTheLogSaysWhy) {
    const std::string log = root_ + "\\quiet.log";
    ExpectQuiet(Run("/quiet /LOG=\"" + log + "\""), 1605, "quiet");
    ExpectQuiet(Run("/check"), 1605, "check");
    EXPECT_EQ(wintest::Entries(temp_, false), Texts{});
    std::string problem;
    const Texts texts = LogTexts(wintest::ReadFileBytes(log), problem);
    EXPECT_EQ(problem, "");
    EXPECT_TRUE(Contains(texts, "message suppressed: " + msgClientNotFound));
    EXPECT_EQ(CountStarting(texts, "message shown: "), 0);
    EXPECT_EQ(ExitCodeOf(texts), ", exit code 1605");

    // A registry entry whose reference copy does not load is no client either.
    ASSERT_TRUE(client_->Register("5.2.0", client_->location));
    ExpectQuiet(Run("/quiet"), 1605, "quiet, no reference copy");
    ExpectQuiet(Run("/check"), 1605, "check, no reference copy");
    EXPECT_EQ(wintest::Entries(temp_, false), Texts{});
}

TEST_F(Unattended, IncompatibleClientsEnd1642AndAreLeftAsTheyWere) {
    for (int rule = 0; rule < 3; ++rule) {
        wintest::ClientValues values;
        if (rule == 0) values.versionType = "1";
        if (rule == 1) values.productType = "1";
        if (rule == 2) values.languages = "0,1";
        InstallClient(values);
        const std::string what = "rule " + std::to_string(rule);
        ExpectQuiet(Run("/quiet /forcecloseapplications"), 1642, what);
        // The last of two logs wins, and an empty one is no log.
        const std::string ignored = root_ + "\\ignored.log";
        ExpectQuiet(Run("/check " + LogArgument(ignored) + " /log="), 1642, what + " check");
        EXPECT_FALSE(wintest::FileExists(ignored));
        ExpectNothingDone(what);
    }
}

TEST_F(Unattended, ASecondInstanceEnds1618WithoutABoxAndTheCommandLineIsJudgedFirst) {
    Child tool;
    StartTool(tool);
    // The tool is looked at before the client.
    ExpectQuiet(Run("/quiet"), 170, "tool running, no client");
    EXPECT_TRUE(tool.Running());

    // The first instance holds at the tool's message.
    Child first;
    ASSERT_TRUE(first.Start(quennel_, "/silent"));
    Box held;
    ASSERT_TRUE(first.WaitBox(held, 30000));
    EXPECT_EQ(held.text, msgOmbrixRunning);

    const std::string log = root_ + "\\second.log";
    ExpectQuiet(Run("/quiet /forcecloseapplications " + LogArgument(log)), 1618, "second quiet");
    ExpectQuiet(Run("/check"), 1618, "second check");
    ExpectQuiet(Run("/quiet /languages=99"), 87, "second with a bad command line");
    std::string problem;
    EXPECT_EQ(ExitCodeOf(LogTexts(wintest::ReadFileBytes(log), problem)), ", exit code 1618");
    EXPECT_TRUE(tool.Running()) << "the second instance stopped the tool";

    EXPECT_TRUE(IsWindow(held.hwnd)) << "the first instance was disturbed";
    wintest::PressOk(held);
    std::vector<Box> rest;
    DWORD code = 999;
    ASSERT_TRUE(first.RunToEnd(rest, kRunMs, &code));
    EXPECT_EQ(code, 0u);
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0].text, msgClientNotFound);
}

TEST_F(Unattended, RunningToolEnds170UnlessForcedToClose) {
    InstallClient();
    Child tool;
    StartTool(tool);
    const std::string log = root_ + "\\tool.log";
    ExpectQuiet(Run("/quiet " + LogArgument(log)), 170, "tool running");
    ExpectQuiet(Run("/check /forcecloseapplications"), 1, "check while the tool runs");
    ExpectNothingDone("tool running");
    EXPECT_TRUE(tool.Running()) << "the tool was stopped";
    std::string problem;
    const Texts texts = LogTexts(wintest::ReadFileBytes(log), problem);
    const std::string toolLine = "tool: Ombrix.exe is running (process " + std::to_string(tool.pid()) + ")";
    EXPECT_EQ(FirstStarting(texts, "tool: ").rfind(toolLine, 0), 0u) << FirstStarting(texts, "tool: ");
    EXPECT_EQ(ExitCodeOf(texts), ", exit code 170");

    // Forced, the tool is stopped and the installation goes on. A log in a
    // folder that does not exist is skipped, and the folder is not made.
    const std::string missing = root_ + "\\no such folder";
    const std::string first = root_ + "\\first.log";
    ExpectQuiet(Run(LogArgument(first) + " /QUIET /ForceCloseApplications " + LogArgument(missing + "\\q.log")), 0,
                "forced");
    EXPECT_TRUE(tool.WaitExit(5000)) << "the tool still runs";
    EXPECT_FALSE(wintest::FileExists(missing));
    EXPECT_FALSE(wintest::FileExists(first)) << "not the last /log= was used";
    for (const std::string& copy : Copies()) EXPECT_EQ(copy, Updated(kAllCodes));
    EXPECT_EQ(wintest::Entries(client_->clientFolder + "server\\translations\\", true).size(), 33u);

    // Every instance is stopped, and the log says how many.
    Child one, two;
    StartTool(one);
    StartTool(two);
    const std::string both = root_ + "\\both.log";
    ExpectQuiet(Run("/quiet /forcecloseapplications " + LogArgument(both)), 0, "two instances");
    EXPECT_TRUE(one.WaitExit(5000) && two.WaitExit(5000)) << "an instance of the tool still runs";
    const std::string stopped = FirstStarting(LogTexts(wintest::ReadFileBytes(both), problem), "tool: ");
    EXPECT_EQ(stopped.rfind("tool: Ombrix.exe is running (2 instances: processes ", 0), 0u) << stopped;
    EXPECT_NE(stopped.find("); stopped 2 of 2"), std::string::npos) << stopped;
}

TEST_F(Unattended, LockedCopyEnds5AndTheOthersAreUpdated) {
    InstallClient();
    HANDLE held = CreateFileA(client_->publicCopy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::string log = root_ + "\\locked.log";
    const Result result = Run("/quiet " + LogArgument(log));
    CloseHandle(held);
    ExpectQuiet(result, 5, "locked copy");
    EXPECT_EQ(Copies(), (Texts{original_, Updated(kAllCodes), Updated(kAllCodes)}));
    std::string problem;
    const Texts texts = LogTexts(wintest::ReadFileBytes(log), problem);
    EXPECT_EQ(CountStarting(texts, "copy: " + client_->publicCopy + ": could not be updated, "), 1);
    EXPECT_TRUE(Contains(texts, "copy: " + client_->install + ": updated"));
    EXPECT_TRUE(Contains(texts, "copy: " + client_->reference + ": updated"));
    EXPECT_EQ(ExitCodeOf(texts), ", exit code 5");
}

TEST_F(Unattended, MalformedLanguageListsEnd87AndDoNothing) {
    InstallClient();
    const std::string log = root_ + "\\bad.log";
    for (const char* form :
         {"/languages=99", "/languages=1", "/languages=034", "\"/languages= 34\"", "/languages=34,34",
          "/languages=34,,35", "/languages=34,", "/languages=", "/languages", "/languages=34 /LANGUAGES=35"}) {
        ExpectQuiet(Run(std::string("/quiet ") + form + " " + LogArgument(log)), 87, form);
        ExpectNothingDone(form);
    }
    std::string problem;
    const Texts texts = LogTexts(wintest::ReadFileBytes(log), problem);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(CountStarting(texts, std::string("message suppressed: ") + kNotValid), 10);
    EXPECT_EQ(CountStarting(texts, "client: "), 0) << "the client was looked for";

    // With boxes: one warning first, then 87, on /silent and on the wizard.
    const std::string shown = root_ + "\\shown.log";
    for (const std::string& arguments : {"/silent /languages=34,,35 " + LogArgument(shown), std::string("/languages=99")}) {
        Child child;
        ASSERT_TRUE(child.Start(quennel_, arguments));
        Box box;
        ASSERT_TRUE(child.WaitBox(box, 30000)) << arguments;
        EXPECT_EQ(box.text.rfind(kNotValid, 0), 0u) << box.text;
        EXPECT_EQ(box.caption, "Quennel");
        EXPECT_TRUE(box.warningIcon);
        EXPECT_EQ(wintest::FindPage(child.pid(), kSelectAll), nullptr) << "a page shows with the box";
        wintest::PressOk(box);
        const Result rest = Finish(child);
        EXPECT_TRUE(rest.ended);
        EXPECT_EQ(rest.code, 87u) << arguments;
        EXPECT_TRUE(rest.boxes.empty()) << arguments << ": " << rest.boxes[0].text;
        ExpectNothingDone(arguments);
        if (arguments.find("/log=") != std::string::npos) {
            const Texts logged = LogTexts(wintest::ReadFileBytes(shown), problem);
            EXPECT_TRUE(Contains(logged, "message shown: " + box.text)) << testing::PrintToString(logged);
            EXPECT_EQ(ExitCodeOf(logged), ", exit code 87");
        }
    }
}

TEST_F(Unattended, LanguagesPresetTheWizardBoxesAndItsLogEndsWithTheInstallation) {
    InstallClient();  // "0,2", the client's current language English
    struct Case {
        std::string arguments;
        Texts ticked;  // none: all
    };
    std::string reversed;
    for (int i = kLanguageCount - 1; i >= 0; --i) reversed += std::string(languageCatalogue[i].code) + (i ? "," : "");
    const std::string log = root_ + "\\wizard.log";
    for (const Case& c : {Case{"/languages=" + reversed, {}}, Case{"/Languages=35,34 " + LogArgument(log), {"0", "34", "35"}}}) {
        Child wizard;
        ASSERT_TRUE(wizard.Start(quennel_, c.arguments));
        HWND page = wintest::WaitForPage(wizard.pid(), kSelectAll, 30000);
        ASSERT_NE(page, nullptr) << c.arguments;
        const bool all = c.ticked.empty();
        EXPECT_EQ(wintest::CheckState(page, kSelectAll), all ? BST_CHECKED : BST_UNCHECKED) << c.arguments;
        for (const LanguageEntry& entry : languageCatalogue) {
            const bool expected = all || Contains(c.ticked, entry.code);
            EXPECT_EQ(wintest::CheckState(page, entry.checkBox), expected ? BST_CHECKED : BST_UNCHECKED)
                << c.arguments << ": " << entry.name;
            EXPECT_EQ(wintest::Enabled(page, entry.checkBox), std::string(entry.code) != "0") << entry.name;
        }
        DWORD code = 999;
        if (all) {
            wintest::Click(page, kLanguageClose);
            EXPECT_TRUE(wizard.WaitExit(30000, &code));
            EXPECT_EQ(code, 0u);
            EXPECT_EQ(Copies(), Originals());
            EXPECT_FALSE(Extracted());
            continue;
        }
        // Installed as preset: the boxes' languages, and the log ends with the finish page.
        wintest::Click(page, kAgreement);
        ASSERT_TRUE(wintest::WaitUntil([&] { return wintest::Enabled(page, kInstallNow); }, 5000));
        wintest::Click(page, kInstallNow);
        HWND finish = wintest::WaitForPage(wizard.pid(), kFinishClose, 60000);
        ASSERT_NE(finish, nullptr);
        wintest::Click(finish, kFinishClose);
        EXPECT_TRUE(wizard.WaitExit(30000, &code));
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(Copies(), Texts(3, Updated("0,34,35")));
        std::string problem;
        const Texts texts = LogTexts(wintest::ReadFileBytes(log), problem);
        EXPECT_EQ(problem, "");
        EXPECT_EQ(CountStarting(texts, "copy: "), 3);
        EXPECT_TRUE(Contains(texts, "languages: 0,34,35"));
        EXPECT_EQ(FirstStarting(texts, "extraction: ").find("; completed"), FirstStarting(texts, "extraction: ").size() - 11);
        EXPECT_EQ(texts.empty() ? "" : texts.back(), "end: installed, exit code 0");
    }
}

// Files below a folder, with their paths relative to it.
void ListFiles(const std::string& folder, const std::string& prefix, Texts& files) {
    for (const std::string& name : wintest::Entries(folder + prefix, false)) files.push_back(prefix + name);
    for (const std::string& name : wintest::Entries(folder + prefix, true)) ListFiles(folder, prefix + name + "\\", files);
}

// Installed twice, then removed: the copies are byte for byte as before the
// first installation, the files the installations added are gone, a file
// there before and one changed since stay, and nothing is left to detect.
TEST_F(Unattended, UninstallPutsTheClientBackAsItWasBefore) {
    char data[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("ProgramData", data, MAX_PATH), 0u);
    const std::string receipts = std::string(data) + "\\Quennel\\", receipt = receipts + "Quennel-Kestrova-Site.xml";
    for (const std::string& name : wintest::Entries(receipts, false)) DeleteFileA((receipts + name).c_str());
    InstallClient();
    const Texts before = Copies();
    const std::string thai = "server\\translations\\Thai\\Server.s_th.qm";
    wintest::MakeFoldersFor(client_->clientFolder + thai);
    ASSERT_TRUE(wintest::WriteFileBytes(client_->clientFolder + thai, "there before"));
    ExpectQuiet(Run("/quiet /languages=34"), 0, "first installation");
    ExpectQuiet(Run("/quiet /addlanguages=35"), 0, "second installation");
    ASSERT_TRUE(wintest::FileExists(receipt));
    ExpectQuiet(Run("/check /languages=34,35"), 0, "installed");
    Texts added;
    ListFiles(client_->clientFolder, "client\\translations\\", added);
    ASSERT_FALSE(added.empty());
    const std::string changed = added.front();
    ASSERT_TRUE(wintest::WriteFileBytes(client_->clientFolder + changed, "changed since"));

    const std::string log = root_ + "\\remove.log";
    ExpectQuiet(Run("/uninstall /quiet " + LogArgument(log)), 0, "removal");
    EXPECT_EQ(Copies(), before);
    Texts left;
    ListFiles(client_->clientFolder, "client\\", left);
    ListFiles(client_->clientFolder, "server\\", left);
    left.erase(std::remove_if(left.begin(), left.end(), [](const std::string& f) { return f.find("translations") == std::string::npos; }),
               left.end());
    EXPECT_EQ(left, (Texts{changed, thai}));
    EXPECT_EQ(wintest::ReadFileBytes(client_->clientFolder + thai), wintest::ReadFileBytes(tree_ + thai))
        << "the installation wrote it; there before, it stays";
    EXPECT_FALSE(wintest::FileExists(receipt));
    std::string problem;
    EXPECT_EQ(ExitCodeOf(LogTexts(wintest::ReadFileBytes(log), problem)), ", exit code 0");
    ExpectQuiet(Run("/check /languages=34"), 1, "after the removal");
    ExpectQuiet(Run("/uninstall /quiet"), 0, "nothing left to remove");
    EXPECT_EQ(Copies(), before);
}

// Where no one can answer (a window station that is not the interactive
// one, as a service's in session 0), nothing waits: the wizard is not shown,
// and "/silent" runs as "/quiet", logging the box it would have shown.
TEST_F(Unattended, NothingWaitsWhereNoOneCanAnswer) {
    HWINSTA station = CreateWindowStationA("QuennelService", 0, WINSTA_ALL_ACCESS, nullptr);
    ASSERT_NE(station, nullptr);
    HWINSTA own = GetProcessWindowStation();
    ASSERT_TRUE(SetProcessWindowStation(station));
    HDESK desktop = CreateDesktopA("Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    SetProcessWindowStation(own);
    ASSERT_NE(desktop, nullptr);
    const auto runThere = [&](const std::string& arguments, DWORD& code) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        char where[] = "QuennelService\\Default";
        startup.lpDesktop = where;
        PROCESS_INFORMATION info{};
        std::string commandLine = "\"" + quennel_ + "\" " + arguments;
        if (!CreateProcessA(quennel_.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &info)) {
            return false;
        }
        const bool ended = WaitForSingleObject(info.hProcess, wintest::Patient(60000)) == WAIT_OBJECT_0;
        if (!ended) TerminateProcess(info.hProcess, 999);
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
        return ended;
    };
    const std::string log = root_ + "\\nobody.log";
    DWORD code = 0;
    EXPECT_TRUE(runThere(LogArgument(log), code)) << "the wizard waited";
    EXPECT_EQ(code, 1602u);
    // No client: "/silent" would show that and wait for OK.
    EXPECT_TRUE(runThere("/silent " + LogArgument(log), code)) << "/silent waited";
    EXPECT_EQ(code, 1605u);
    CloseDesktop(desktop);
    CloseWindowStation(station);
    std::string problem;
    const Texts texts = LogTexts(wintest::ReadFileBytes(log), problem);
    EXPECT_EQ(CountStarting(texts, "session: the window station is not interactive"), 2) << testing::PrintToString(texts);
    EXPECT_TRUE(Contains(texts, "message suppressed: " + msgClientNotFound)) << testing::PrintToString(texts);
    EXPECT_EQ(ExitCodeOf(texts), ", exit code 1605");
}

// Two deployments of single languages add up, and another installer's
// silent switch is named in the log and otherwise ignored.
TEST_F(Unattended, AddedLanguagesAddUpAndForeignSwitchesAreLogged) {
    InstallClient();  // "0,2", the client's current language English
    const std::string log = root_ + "\\add.log";
    ExpectQuiet(Run("/quiet /addlanguages=34 /VERYSILENT " + LogArgument(log)), 0, "first");
    for (const std::string& copy : Copies()) EXPECT_EQ(copy, Updated("0,2,34"));
    ExpectQuiet(Run("/quiet /AddLanguages=35"), 0, "second");
    for (const std::string& copy : Copies()) EXPECT_EQ(copy, Updated("0,2,34,35"));
    ExpectQuiet(Run("/check /languages=34,35"), 0, "both recorded");
    std::string problem;
    const Texts texts = LogTexts(wintest::ReadFileBytes(log), problem);
    EXPECT_TRUE(Contains(texts, "command line: /VERYSILENT is no switch of this setup: ignored"))
        << testing::PrintToString(texts);
    ExpectQuiet(Run("/quiet /addlanguages=34,34"), 87, "malformed");
}

TEST_F(Unattended, HelpListsTheSwitchesAndTheExitCodes) {
    InstallClient();
    Child child;
    ASSERT_TRUE(child.Start(quennel_, "/?"));
    Box box;
    ASSERT_TRUE(child.WaitBox(box, 30000));
    EXPECT_EQ(box.caption, "Quennel");
    EXPECT_TRUE(wintest::ShowsSystemIcon(box, IDI_INFORMATION)) << "not the information icon";
    const Texts listed{"/silent", "/quiet", "/log=", "/languages=", "/addlanguages=", "/uninstall", "/forcecloseapplications", "/check", "/help",
                       "87", "170", "1602", "1603", "1605", "1618", "1642"};
    for (const std::string& text : listed) EXPECT_NE(box.text.find(text), std::string::npos) << text;
    wintest::PressOk(box);
    const Result rest = Finish(child);
    EXPECT_TRUE(rest.ended && rest.boxes.empty());
    EXPECT_EQ(rest.code, 0u);
    ExpectNothingDone("help");

    const std::string log = root_ + "\\help.log";
    ExpectQuiet(Run("/quiet /HELP " + LogArgument(log)), 0, "quiet help");
    const std::string logged = wintest::ReadFileBytes(log);
    for (const std::string& text : listed) EXPECT_NE(logged.find(text), std::string::npos) << text;
    ExpectNothingDone("quiet help");
}

}  // namespace
