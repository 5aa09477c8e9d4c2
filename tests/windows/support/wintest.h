// Support for the installer's tests under Wine: test paths given on the
// command line, real child processes whose message boxes are read and
// answered, an in-process box watcher, and registry set-up.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace wintest {

// Options given after the GoogleTest flags, as --name=value.
std::string Option(const std::string& name);
void ParseOptions(int argc, char** argv);

// A path given in Unix form (/work/...) as a Windows path on drive Z:.
std::string WinPath(const std::string& path);

// Sets environment variables of this process, and so of the programs it
// starts, and puts them back as they were when it goes.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    void Set(const std::string& name, const std::string& value);

private:
    std::map<std::string, std::pair<bool, std::string>> saved_;  // was set, old value
};

// A fresh, empty folder for one test, below the Windows temporary folder.
std::string MakeTempFolder(const std::string& hint);
bool CopyTo(const std::string& from, const std::string& to);
// The names of the files (or of the folders) in a folder given with its
// trailing backslash, sorted.
std::vector<std::string> Entries(const std::string& folder, bool directories);
// The same at every depth: paths relative to the folder (a folder's with its
// trailing backslash), sorted.
std::vector<std::string> EntriesBelow(const std::string& folder, bool directories, const std::string& relative = "");
bool FileExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// A message box as another program (or this one) shows it.
struct Box {
    HWND hwnd = nullptr;
    DWORD pid = 0;
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;  // texts of the push buttons
    bool warningIcon = false;          // shows the system's warning icon
    bool messageBox = false;           // a message box (it has the message text control)
};

// Reads a standard message box window; false when it is not one.
bool ReadBox(HWND hwnd, Box& box);
// Presses the box's OK button.
void PressOk(const Box& box);
// Whether the box shows this system icon (IDI_INFORMATION, IDI_WARNING, ...).
bool ShowsSystemIcon(const Box& box, LPCSTR iconId);

// A wait for something that is to come, as long as this machine needs:
// three times longer where Wine's 32-bit loader runs through qemu-user
// (QUENNEL_QEMU_ROUTE is set). The waits below take it already.
DWORD Patient(DWORD timeoutMs);

class Child {
public:
    Child() = default;
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Start(const std::string& exe, const std::string& arguments, const std::string& folder = "");
    // Starts with a Unicode command line, for arguments outside the ANSI code page.
    bool StartWide(const std::wstring& exe, const std::wstring& arguments);
    // Starts with standard output and error collected; Output() has them
    // once the program has ended.
    bool StartCaptured(const std::string& exe, const std::string& arguments);
    std::string Output();
    // Waits for a message box of this process that has not been seen yet.
    bool WaitBox(Box& box, DWORD timeoutMs);
    // True when the process shows a box, or has shown one, within the time.
    bool HasBoxWithin(DWORD timeoutMs);
    bool WaitExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    bool Running() const;
    // Answers every box with OK until the process ends; false on timeout.
    bool RunToEnd(std::vector<Box>& boxes, DWORD timeoutMs, DWORD* exitCode);
    void Kill();
    // Whether the process has shown any visible top-level window (a message
    // box included) while RunToEnd watched it.
    bool SawWindow() const { return sawWindow_; }
    DWORD pid() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_{};
    std::vector<HWND> seen_;
    bool sawWindow_ = false;
    std::string outputPath_;
};

// Answers the message boxes that threads of this process show and records
// them, so that code under test that shows a box never hangs a test.
class BoxWatcher {
public:
    BoxWatcher();
    ~BoxWatcher();
    std::vector<Box> Boxes();
    std::vector<std::string> Texts();

private:
    void Loop();
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Box> boxes_;
    std::thread thread_;
};

// UI automation of another program's pages.
// A visible top-level dialog of the process holding a control with this ID;
// nullptr when none appears within the time.
HWND WaitForPage(DWORD pid, int controlId, DWORD timeoutMs);
// Whether the process shows such a page now.
HWND FindPage(DWORD pid, int controlId);
// Waits until the condition holds; false on timeout.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);
// Clicks a button or check box of the page as the user would (BM_CLICK, posted).
void Click(HWND page, int controlId);
// A click on a static text that reports clicks.
void ClickStatic(HWND page, int controlId);
// A key pressed and released on the page's focused control.
void PressKey(HWND page, UINT virtualKey);
int CheckState(HWND page, int controlId);
bool Enabled(HWND page, int controlId);
bool Visible(HWND page, int controlId);
std::string Text(HWND page, int controlId);
std::wstring WindowTextW(HWND window);
// Saves what the screen shows of the window as a 24-bit BMP file.
bool SaveWindowShot(HWND window, const std::string& path);
// Ids of the process's threads.
std::vector<DWORD> ThreadsOf(DWORD pid);
// The first running process with this executable name; 0 when none.
DWORD ProcessByName(const std::string& exeName);
void KillProcess(DWORD pid);

// Registry set-up from this process, with the calls the installer uses.
bool SetValues(HKEY root, const std::string& key, const std::map<std::string, std::string>& values);
bool SetRawValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                 const std::string& bytes);
bool DeleteKeyTree(HKEY root, const std::string& key);
bool KeyExists(HKEY root, const std::string& key);
bool ReadValue(HKEY root, const std::string& key, const std::string& name, std::string& bytes,
               DWORD* type = nullptr);

// The client's Uninstall key path on the running system. On 64-bit Windows
// it names the 32-bit registry view through Wow6432Node, where the 32-bit
// installer's own reads of HKLM\SOFTWARE land.
std::string ClientKeyPath();
bool Is64BitSystem();

}  // namespace wintest
