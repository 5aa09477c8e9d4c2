#include "wintest.h"

#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace wintest {
namespace {

std::map<std::string, std::string>& Options() {
    static std::map<std::string, std::string> options;
    return options;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name - 1);
    return name;
}

std::string TextOf(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    std::vector<char> text(static_cast<size_t>(length > 0 ? length : 0) + 2, '\0');
    GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    return text.data();
}

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && IsWindowVisible(hwnd)) search->found.push_back(hwnd);
    return TRUE;
}

// The visible top-level windows of a process.
std::vector<HWND> VisibleWindowsOf(DWORD pid) {
    WindowSearch search{pid, {}};
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Its dialog windows (message boxes among them).
std::vector<HWND> BoxesOf(DWORD pid) {
    std::vector<HWND> boxes;
    for (HWND hwnd : VisibleWindowsOf(pid)) {
        if (ClassOf(hwnd) == "#32770") boxes.push_back(hwnd);
    }
    return boxes;
}

bool HasVisibleWindow(DWORD pid) { return !VisibleWindowsOf(pid).empty(); }

BOOL CALLBACK CollectChildren(HWND hwnd, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

// The pixels of a size x size picture that draw() makes in a memory context.
std::vector<COLORREF> PixelsDrawn(int size, const std::function<void(HDC memory, HDC screen)>& draw) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(memory, bitmap);
    draw(memory, screen);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) pixels.push_back(GetPixel(memory, x, y));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Pixels of an icon as drawn over a background colour.
std::vector<COLORREF> IconPixels(HICON icon, int size, COLORREF background) {
    return PixelsDrawn(size, [&](HDC memory, HDC) {
        HBRUSH brush = CreateSolidBrush(background);
        RECT all{0, 0, size, size};
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    });
}

// Pixels of the screen below a window's client area.
std::vector<COLORREF> ScreenPixels(HWND window, int size) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return PixelsDrawn(size, [&](HDC memory, HDC screen) {
        BitBlt(memory, 0, 0, size, size, screen, origin.x, origin.y, SRCCOPY);
    });
}

// Whether the icon control of another program's window shows this icon:
// every pixel that the icon covers in full matches the screen. Another
// program's window surface is its own, so the screen is read.
bool ShowsIcon(HWND control, HICON icon) {
    RECT rect;
    GetClientRect(control, &rect);
    const int size = GetSystemMetrics(SM_CXICON);
    if (rect.right < size || rect.bottom < size) return false;
    const auto onBlack = IconPixels(icon, size, RGB(0, 0, 0));
    const auto onWhite = IconPixels(icon, size, RGB(255, 255, 255));
    for (int attempt = 0; attempt < 20; ++attempt) {  // the box may not be painted yet
        const auto shown = ScreenPixels(control, size);
        int compared = 0;
        int equal = 0;
        for (size_t i = 0; i < shown.size(); ++i) {
            if (onBlack[i] != onWhite[i]) continue;  // not opaque
            ++compared;
            if (shown[i] == onBlack[i]) ++equal;
        }
        if (compared > size * size / 4 && equal == compared) return true;
        Sleep(50);
    }
    return false;
}

}  // namespace

void ParseOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0) continue;
        const auto eq = arg.find('=');
        if (eq == std::string::npos) continue;
        Options()[arg.substr(2, eq - 2)] = arg.substr(eq + 1);
    }
}

std::string Option(const std::string& name) {
    const auto it = Options().find(name);
    return it == Options().end() ? std::string() : it->second;
}

std::string WinPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string result = "Z:" + path;
    std::replace(result.begin(), result.end(), '/', '\\');
    return result;
}

ScopedEnvironment::~ScopedEnvironment() {
    for (const auto& value : saved_) {
        SetEnvironmentVariableA(value.first.c_str(), value.second.first ? value.second.second.c_str() : nullptr);
    }
}

void ScopedEnvironment::Set(const std::string& name, const std::string& value) {
    if (saved_.find(name) == saved_.end()) {
        std::vector<char> old(32768, '\0');
        const DWORD length = GetEnvironmentVariableA(name.c_str(), old.data(), static_cast<DWORD>(old.size()));
        saved_[name] = {length > 0, std::string(old.data())};
    }
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

std::string MakeTempFolder(const std::string& hint) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    static unsigned counter = 0;
    for (;;) {
        std::ostringstream name;
        name << temp << "qt_" << hint << "_" << GetCurrentProcessId() << "_" << ++counter;
        if (CreateDirectoryA(name.str().c_str(), nullptr)) return name.str();
        if (GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
    }
}

std::vector<std::string> Entries(const std::string& folder, bool directories) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == directories) names.push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> EntriesBelow(const std::string& folder, bool directories, const std::string& relative) {
    std::vector<std::string> found;
    for (const std::string& name : Entries(folder + relative, directories)) {
        found.push_back(relative + name + (directories ? "\\" : ""));
    }
    for (const std::string& inner : Entries(folder + relative, true)) {
        for (const std::string& below : EntriesBelow(folder, directories, relative + inner + "\\")) found.push_back(below);
    }
    std::sort(found.begin(), found.end());
    return found;
}

bool CopyTo(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool ReadBox(HWND hwnd, Box& box) {
    if (!IsWindow(hwnd) || ClassOf(hwnd) != "#32770") return false;
    box = Box{};
    box.hwnd = hwnd;
    GetWindowThreadProcessId(hwnd, &box.pid);
    box.caption = TextOf(hwnd);
    std::vector<HWND> children;
    EnumChildWindows(hwnd, CollectChildren, reinterpret_cast<LPARAM>(&children));
    HICON warning = LoadIconA(nullptr, MAKEINTRESOURCEA(32515));  // IDI_WARNING
    for (HWND child : children) {
        const std::string cls = ClassOf(child);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        if (cls == "Button" && IsWindowVisible(child)) {
            box.buttons.push_back(TextOf(child));
        } else if (cls == "Static") {
            if ((style & SS_TYPEMASK) == SS_ICON) {
                HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
                if (icon != nullptr && (icon == warning || ShowsIcon(child, warning))) box.warningIcon = true;
            } else if (GetDlgCtrlID(child) == 0xFFFF) {
                box.text = TextOf(child);
                box.messageBox = true;
            }
        }
    }
    return true;
}

bool ShowsSystemIcon(const Box& box, LPCSTR iconId) {
    std::vector<HWND> children;
    EnumChildWindows(box.hwnd, CollectChildren, reinterpret_cast<LPARAM>(&children));
    HICON wanted = LoadIconA(nullptr, iconId);
    for (HWND child : children) {
        if (ClassOf(child) != "Static" || (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        if (icon != nullptr && (icon == wanted || ShowsIcon(child, wanted))) return true;
    }
    return false;
}

void PressOk(const Box& box) {
    HWND ok = GetDlgItem(box.hwnd, IDOK);
    PostMessageA(box.hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
}

Child::~Child() {
    if (info_.hProcess != nullptr) {
        Kill();
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
    if (!outputPath_.empty()) DeleteFileA(outputPath_.c_str());
}

bool Child::StartCaptured(const std::string& exe, const std::string& arguments) {
    // The output goes to a file, read when the program has ended: a pipe
    // could be held open by a process the child starts (Wine starts its
    // desktop process from the first program that opens a window).
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    char name[MAX_PATH + 1] = {};
    if (!GetTempFileNameA(temp, "out", 0, name)) return false;
    outputPath_ = name;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE file = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string command = "\"" + exe + "\"";
    if (!arguments.empty()) command += " " + arguments;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = file;
    startup.hStdError = file;
    const bool started =
        CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info_) != 0;
    CloseHandle(file);
    return started;
}

std::string Child::Output() {
    WaitExit(60000);
    std::string text;
    for (char c : ReadFileBytes(outputPath_)) {
        if (c != '\r') text.push_back(c);
    }
    return text;
}

bool Child::Start(const std::string& exe, const std::string& arguments, const std::string& folder) {
    std::string command = "\"" + exe + "\"";
    if (!arguments.empty()) command += " " + arguments;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    return CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info_) != 0;
}

bool Child::StartWide(const std::wstring& exe, const std::wstring& arguments) {
    std::wstring command = L"\"" + exe + L"\"";
    if (!arguments.empty()) command += L" " + arguments;
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');
    STARTUPINFOW startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    return CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info_) != 0;
}

DWORD Patient(DWORD timeoutMs) {
    static const bool slow = std::getenv("QUENNEL_QEMU_ROUTE") != nullptr;
    return slow ? timeoutMs * 3 : timeoutMs;
}

bool Child::WaitBox(Box& box, DWORD timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(Patient(timeoutMs));
    for (;;) {
        for (HWND hwnd : BoxesOf(pid())) {
            if (std::find(seen_.begin(), seen_.end(), hwnd) != seen_.end() && IsWindow(hwnd)) {
                // A window handle is seen once; a later box may reuse it only
                // after the earlier one was destroyed.
                continue;
            }
            if (ReadBox(hwnd, box) && box.messageBox) {
                seen_.push_back(hwnd);
                return true;
            }
        }
        // Forget handles of boxes that are gone, so a reused handle counts.
        seen_.erase(std::remove_if(seen_.begin(), seen_.end(), [](HWND h) { return !IsWindow(h); }),
                    seen_.end());
        if (std::chrono::steady_clock::now() >= deadline) return false;
        if (!Running()) {
            // One last look: the process may have ended right after showing.
            if (BoxesOf(pid()).empty()) return false;
        }
        Sleep(30);
    }
}

bool Child::HasBoxWithin(DWORD timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        if (!BoxesOf(pid()).empty()) return true;
        Sleep(30);
    } while (std::chrono::steady_clock::now() < deadline && Running());
    return !BoxesOf(pid()).empty();
}

bool Child::WaitExit(DWORD timeoutMs, DWORD* exitCode) {
    if (WaitForSingleObject(info_.hProcess, Patient(timeoutMs)) != WAIT_OBJECT_0) return false;
    if (exitCode != nullptr) GetExitCodeProcess(info_.hProcess, exitCode);
    return true;
}

bool Child::Running() const {
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Child::RunToEnd(std::vector<Box>& boxes, DWORD timeoutMs, DWORD* exitCode) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(Patient(timeoutMs));
    for (;;) {
        if (HasVisibleWindow(pid())) sawWindow_ = true;
        Box box;
        if (WaitBox(box, 100)) {
            boxes.push_back(box);
            PressOk(box);
            continue;
        }
        if (!Running()) return WaitExit(1000, exitCode);
        if (std::chrono::steady_clock::now() >= deadline) {
            Kill();
            return false;
        }
    }
}

void Child::Kill() {
    if (Running()) {
        TerminateProcess(info_.hProcess, 999);
        WaitForSingleObject(info_.hProcess, 5000);
    }
}

BoxWatcher::BoxWatcher() : thread_([this] { Loop(); }) {}

BoxWatcher::~BoxWatcher() {
    stop_ = true;
    thread_.join();
}

void BoxWatcher::Loop() {
    std::vector<HWND> answered;
    while (!stop_) {
        for (HWND hwnd : BoxesOf(GetCurrentProcessId())) {
            if (std::find(answered.begin(), answered.end(), hwnd) != answered.end()) continue;
            Box box;
            if (ReadBox(hwnd, box) && box.messageBox) {
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    boxes_.push_back(box);
                }
                answered.push_back(hwnd);
                PressOk(box);
            }
        }
        answered.erase(std::remove_if(answered.begin(), answered.end(), [](HWND h) { return !IsWindow(h); }),
                       answered.end());
        Sleep(20);
    }
}

std::vector<Box> BoxWatcher::Boxes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

std::vector<std::string> BoxWatcher::Texts() {
    std::vector<std::string> texts;
    for (const Box& box : Boxes()) texts.push_back(box.text);
    return texts;
}

namespace {

// Opens (creating it) the key that the installer's own RegOpenKeyExA call
// reaches. Wine 8 does not always resolve a created path the way it resolves
// an opened one for a 32-bit program (HKCU\Software through Wow6432Node), so
// the created key is checked by opening it the program's way; when that open
// misses it, the key is made at the literal path in the 64-bit view instead.
bool CreateKeyTheProgramOpens(HKEY root, const std::string& key, HKEY* handle) {
    HKEY created = nullptr;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &created, nullptr) ==
        ERROR_SUCCESS) {
        RegCloseKey(created);
    }
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | KEY_WRITE, handle) == ERROR_SUCCESS) return true;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE | KEY_WOW64_64KEY, nullptr,
                        &created, nullptr) == ERROR_SUCCESS) {
        RegCloseKey(created);
    }
    return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | KEY_WRITE, handle) == ERROR_SUCCESS;
}

}  // namespace

namespace {

}  // namespace

HWND FindPage(DWORD pid, int controlId) {
    for (HWND hwnd : VisibleWindowsOf(pid)) {
        if (GetDlgItem(hwnd, controlId) != nullptr) return hwnd;
    }
    return nullptr;
}

HWND WaitForPage(DWORD pid, int controlId, DWORD timeoutMs) {
    HWND page = nullptr;
    WaitUntil([&] { return (page = FindPage(pid, controlId)) != nullptr; }, timeoutMs);
    return page;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    timeoutMs = Patient(timeoutMs);
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}

void Click(HWND page, int controlId) { PostMessageA(GetDlgItem(page, controlId), BM_CLICK, 0, 0); }

void ClickStatic(HWND page, int controlId) {
    HWND control = GetDlgItem(page, controlId);
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

void PressKey(HWND page, UINT virtualKey) {
    GUITHREADINFO info;
    info.cbSize = sizeof info;
    HWND target = page;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(page, nullptr), &info) && info.hwndFocus != nullptr) {
        target = info.hwndFocus;
    }
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(target, WM_KEYUP, virtualKey, 0xC0000001);
}

int CheckState(HWND page, int controlId) {
    return static_cast<int>(SendMessageA(GetDlgItem(page, controlId), BM_GETCHECK, 0, 0));
}

bool Enabled(HWND page, int controlId) { return IsWindowEnabled(GetDlgItem(page, controlId)) != FALSE; }

bool Visible(HWND page, int controlId) { return IsWindowVisible(GetDlgItem(page, controlId)) != FALSE; }

std::string Text(HWND page, int controlId) { return TextOf(GetDlgItem(page, controlId)); }

std::wstring WindowTextW(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 511);
    return text;
}

bool SaveWindowShot(HWND window, const std::string& path) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD rowBytes = static_cast<DWORD>((width * 3 + 3) & ~3);
    const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageBytes;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(BITMAPINFOHEADER));
    bytes.append(static_cast<const char*>(bits), imageBytes);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return WriteFileBytes(path, bytes);
}

std::vector<DWORD> ThreadsOf(DWORD pid) {
    std::vector<DWORD> threads;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return threads;
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    if (Thread32First(snapshot, &entry)) {
        do {
            if (entry.th32OwnerProcessID == pid) threads.push_back(entry.th32ThreadID);
            entry.dwSize = sizeof entry;
        } while (Thread32Next(snapshot, &entry));
    }
    CloseHandle(snapshot);
    return threads;
}

DWORD ProcessByName(const std::string& exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    if (Process32First(snapshot, &entry)) {
        do {
            if (exeName == entry.szExeFile) {
                found = entry.th32ProcessID;
                break;
            }
            entry.dwSize = sizeof entry;
        } while (Process32Next(snapshot, &entry));
    }
    CloseHandle(snapshot);
    return found;
}

void KillProcess(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (process == nullptr) return;
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

bool SetValues(HKEY root, const std::string& key, const std::map<std::string, std::string>& values) {
    HKEY handle = nullptr;
    if (!CreateKeyTheProgramOpens(root, key, &handle)) return false;
    RegCloseKey(handle);
    for (const auto& value : values) {
        std::string bytes = value.second;
        bytes.push_back('\0');
        if (!SetRawValue(root, key, value.first, REG_SZ, bytes)) return false;
    }
    return true;
}

bool SetRawValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                 const std::string& bytes) {
    HKEY handle = nullptr;
    if (!CreateKeyTheProgramOpens(root, key, &handle)) return false;
    const LONG result = RegSetValueExA(handle, name.c_str(), 0, type,
                                       reinterpret_cast<const BYTE*>(bytes.data()),
                                       static_cast<DWORD>(bytes.size()));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

bool DeleteKeyTree(HKEY root, const std::string& key) {
    // Whichever place the key was made in, it goes.
    for (REGSAM view : {REGSAM(0), REGSAM(KEY_WOW64_64KEY), REGSAM(KEY_WOW64_32KEY)}) {
        HKEY handle = nullptr;
        if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS | view, &handle) == ERROR_SUCCESS) {
            RegDeleteTreeA(handle, nullptr);
            RegCloseKey(handle);
            RegDeleteKeyExA(root, key.c_str(), view, 0);
        }
    }
    return !KeyExists(root, key);
}

bool KeyExists(HKEY root, const std::string& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

bool ReadValue(HKEY root, const std::string& key, const std::string& name, std::string& bytes, DWORD* type) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    DWORD kind = 0;
    LONG result = RegQueryValueExA(handle, name.c_str(), nullptr, &kind, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        bytes.assign(size, '\0');
        result = RegQueryValueExA(handle, name.c_str(), nullptr, &kind,
                                  reinterpret_cast<BYTE*>(&bytes[0]), &size);
        bytes.resize(size);
    }
    RegCloseKey(handle);
    if (type != nullptr) *type = kind;
    return result == ERROR_SUCCESS;
}

bool Is64BitSystem() {
    // The system, not this process: a 32-bit test runs under WoW64 there.
    char folder[MAX_PATH];
    return GetSystemWow64DirectoryA(folder, MAX_PATH) != 0;
}

std::string ClientKeyPath() {
    const std::string root = Is64BitSystem()
                                 ? "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
                                 : "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    return root + "\\{5B1E7A20-9C44-4D1F-8E63-2A70C9D41E58}";
}

}  // namespace wintest
