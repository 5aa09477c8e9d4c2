// Start-up of the real installer executable: single instance, the sibling
// tool, the compatibility mark.
#include <gtest/gtest.h>

#include "core/shared_state.h"
#include "wintest.h"

namespace {

using wintest::Box;
using wintest::Child;

constexpr DWORD kStartMs = 30000;  // a cold Wine start can take seconds
constexpr DWORD kBoxGoneMs = 5000;

const char* kPersisted =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

class Startup : public testing::Test {
protected:
    void SetUp() override {
        quennel_ = wintest::WinPath(wintest::Option("quennel"));
        standin_ = wintest::WinPath(wintest::Option("standin"));
        ASSERT_TRUE(wintest::FileExists(quennel_)) << quennel_;
        ASSERT_TRUE(wintest::FileExists(standin_)) << standin_;
        // No installed marker and no client: start-up runs alone.
        wintest::DeleteKeyTree(HKEY_CURRENT_USER, wintest::ClientKeyPath());
    }
    // Starts a stand-in program under the given file name in its own folder.
    void StartStandin(Child& child, const std::string& fileName) {
        const std::string folder = wintest::MakeTempFolder("standin");
        const std::string path = folder + "\\" + fileName;
        ASSERT_TRUE(wintest::CopyTo(standin_, path));
        ASSERT_TRUE(child.Start(path, "120"));
    }
    std::string quennel_;
    std::string standin_;
};

TEST_F(Startup, SecondInstanceIsRefusedAndTheFirstGoesOn) {
    Child tool;
    StartStandin(tool, "Ombrix.exe");

    // The first instance holds at the sibling-tool message.
    Child first;
    ASSERT_TRUE(first.Start(quennel_, ""));
    Box held;
    ASSERT_TRUE(first.WaitBox(held, kStartMs));
    EXPECT_EQ(held.text, msgOmbrixRunning);

    for (const char* arguments : {"", "/silent"}) {
        Child second;
        ASSERT_TRUE(second.Start(quennel_, arguments));
        Box refused;
        ASSERT_TRUE(second.WaitBox(refused, kStartMs)) << arguments;
        EXPECT_EQ(refused.text, msgAlreadyRunning);
        EXPECT_EQ(refused.caption, "Prompt");
        EXPECT_EQ(refused.buttons, std::vector<std::string>{"OK"});
        EXPECT_TRUE(refused.warningIcon);
        wintest::PressOk(refused);
        DWORD code = 1;
        ASSERT_TRUE(second.WaitExit(kBoxGoneMs, &code));
        EXPECT_EQ(code, 0u);
    }

    // A copy under another file name is not refused: it reaches the sibling
    // tool's message, with its own name as caption.
    const std::string folder = wintest::MakeTempFolder("copy");
    const std::string copy = folder + "\\QuennelTwo.exe";
    ASSERT_TRUE(wintest::CopyTo(quennel_, copy));
    Child other;
    ASSERT_TRUE(other.Start(copy, ""));
    Box otherBox;
    ASSERT_TRUE(other.WaitBox(otherBox, kStartMs));
    EXPECT_EQ(otherBox.text, msgOmbrixRunning);
    EXPECT_EQ(otherBox.caption, "QuennelTwo");

    // The first instance was not disturbed: its box is still there.
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindow(held.hwnd));
    EXPECT_EQ(held.caption, "Quennel");
    wintest::PressOk(held);
    std::vector<Box> rest;
    DWORD code = 1;
    EXPECT_TRUE(first.RunToEnd(rest, kStartMs, &code));
    EXPECT_EQ(code, 0u);
    other.Kill();
}

TEST_F(Startup, SiblingToolIsStoppedOnlyAfterTheMessage) {
    for (const char* arguments : {"", "/silent"}) {
        Child tool;
        StartStandin(tool, "Ombrix.exe");
        Child quennel;
        ASSERT_TRUE(quennel.Start(quennel_, arguments));
        Box box;
        ASSERT_TRUE(quennel.WaitBox(box, kStartMs)) << arguments;
        EXPECT_EQ(box.text, msgOmbrixRunning);
        EXPECT_EQ(box.caption, "Quennel");
        EXPECT_TRUE(box.warningIcon);
        // While the message waits, the tool still runs.
        Sleep(500);
        EXPECT_TRUE(tool.Running());
        wintest::PressOk(box);
        DWORD toolCode = 1;
        ASSERT_TRUE(tool.WaitExit(kBoxGoneMs, &toolCode)) << "the sibling tool was not stopped";
        EXPECT_EQ(toolCode, 0u);
        std::vector<Box> rest;
        DWORD code = 1;
        ASSERT_TRUE(quennel.RunToEnd(rest, kStartMs, &code));
        // No client is installed: the client check of either road says so.
        ASSERT_EQ(rest.size(), 1u);
        EXPECT_EQ(rest[0].text, msgClientNotFound);
        EXPECT_EQ(code, 0u);
    }
}

TEST_F(Startup, OnlyTheExactToolNameIsStopped) {
    Child lower;
    StartStandin(lower, "ombrix.exe");
    Child quennel;
    ASSERT_TRUE(quennel.Start(quennel_, ""));
    std::vector<Box> boxes;
    DWORD code = 1;
    ASSERT_TRUE(quennel.RunToEnd(boxes, kStartMs, &code));
    ASSERT_EQ(boxes.size(), 1u);  // only the client check's: no client here
    EXPECT_EQ(boxes[0].text, msgClientNotFound);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(lower.Running());
}

TEST_F(Startup, CompatibilityMarkIsWrittenOnlyIntoAnExistingKey) {
    ASSERT_TRUE(wintest::DeleteKeyTree(HKEY_CURRENT_USER, kPersisted));
    ASSERT_FALSE(wintest::KeyExists(HKEY_CURRENT_USER, kPersisted));
    {
        Child quennel;
        ASSERT_TRUE(quennel.Start(quennel_, "unknown -x /SILENT"));
        std::vector<Box> boxes;
        DWORD code = 1;
        ASSERT_TRUE(quennel.RunToEnd(boxes, kStartMs, &code));
        // Unknown arguments are ignored without a word: the one box is the
        // client check's, no client being installed here.
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, msgClientNotFound);
        EXPECT_EQ(code, 0u);
    }
    EXPECT_FALSE(wintest::KeyExists(HKEY_CURRENT_USER, kPersisted));

    ASSERT_TRUE(wintest::SetValues(HKEY_CURRENT_USER, kPersisted, {}));
    ASSERT_TRUE(wintest::KeyExists(HKEY_CURRENT_USER, kPersisted));
    {
        Child quennel;
        ASSERT_TRUE(quennel.Start(quennel_, "/silent"));
        std::vector<Box> boxes;
        DWORD code = 1;
        ASSERT_TRUE(quennel.RunToEnd(boxes, kStartMs, &code));
        EXPECT_EQ(code, 0u);
    }
    std::string bytes;
    DWORD type = 0;
    ASSERT_TRUE(wintest::ReadValue(HKEY_CURRENT_USER, kPersisted, quennel_, bytes, &type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(bytes, std::string("\x01\0\0\0", 4));
}

}  // namespace
