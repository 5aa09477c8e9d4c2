// The benchmark's user: starts a program under Wine and times what a user
// sees, with the UI automation of the test support.
//
//   bench_ui [--winedebug=CHANNELS] MODE ...
//       --winedebug sets WINEDEBUG for the started program alone: Wine's own
//       traces, in the output.
//   bench_ui startup EXE CONTROL_ID
//       Milliseconds from the start of EXE to a visible top-level window of it
//       holding the control (startup_ms; start_s and shown_s, the two readings
//       in seconds); the program is then ended.
//   bench_ui run EXE [ARGUMENT...]
//       Starts EXE with the arguments, its output collected, waits for its end
//       and prints wall_ms (QueryPerformanceCounter from just before
//       CreateProcess to the return of the wait), start_s and end_s (the same
//       two readings in seconds), life_ms (GetProcessTimes: the process's
//       creation to its exit, by the system's clock), the CPU times the system
//       reports for it, its exit status, and then its output. A program timed
//       this way carries none of a wrapper script's or Wine's launcher's
//       start-up.
//   bench_ui wizard EXE
//       Starts the installer's wizard, ticks the agreement, presses Install
//       Now and prints the milliseconds until the finish page is on screen
//       (install_ms, the extraction phase of the wizard road; pressed_s and
//       finished_s, the two readings in seconds), then closes the finish page.
//   bench_ui hold
//       Makes sure the desktop exists and stays until its standard input ends.
//       Wine runs the desktop in a process of its own, started by the first
//       program that needs it and ended with the last program: without one
//       program held open for the whole benchmark, every timed program would
//       pay for starting the desktop, which Windows never does.
//
// Prints key=value pairs; exit status 0 only when every step was seen.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "wintest.h"

namespace {

// Controls of the installer's pages.
constexpr int kSelectAll = 1094, kAgreement = 1013, kInstallNow = 1046, kFinishClose = 1052;
constexpr DWORD kTimeoutMs = 300000;

double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Polls more finely than the tests need for the start-up, itself well under
// a second; during the extraction every 10 ms, so that the window search
// takes little from the installer on a machine of few cores.
HWND WaitPage(DWORD pid, int controlId, DWORD pollMs = 2) {
    const double deadline = Now() + kTimeoutMs;
    while (Now() < deadline) {
        if (HWND page = wintest::FindPage(pid, controlId)) return page;
        Sleep(pollMs);
    }
    return nullptr;
}

int Startup(const std::string& exe, int controlId) {
    GetDesktopWindow();
    wintest::Child child;
    const double start = Now();
    if (!child.Start(exe, "")) return 2;
    HWND page = WaitPage(child.pid(), controlId);
    const double shown = Now();
    child.Kill();
    child.WaitExit(kTimeoutMs);
    if (page == nullptr) {
        std::printf("bench_ui: no window with control %d\n", controlId);
        return 1;
    }
    std::printf("startup_ms=%.1f start_s=%.6f shown_s=%.6f\n", shown - start, start / 1000.0, shown / 1000.0);
    return 0;
}

// One argument as the C runtime of the started program reads it back:
// quoted when it holds a space, backslashes before a quote doubled.
std::string Quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(2 * backslashes, '\\');
    return out + "\"";
}

double Milliseconds(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 10000.0;
}

int Hold() {
    if (GetDesktopWindow() == nullptr) return 1;
    std::printf("holding\n");
    std::fflush(stdout);
    char buffer[256];
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    }
    return 0;
}

int Run(const std::string& exe, const std::string& arguments) {
    // The desktop is there before the clock starts (see Hold).
    GetDesktopWindow();
    wintest::Child child;
    const double start = Now();
    if (!child.StartCaptured(exe, arguments)) {
        std::printf("bench_ui: %s does not start (error %lu)\n", exe.c_str(), GetLastError());
        return 2;
    }
    if (WaitForSingleObject(child.handle(), kTimeoutMs) != WAIT_OBJECT_0) {
        child.Kill();
        std::printf("bench_ui: %s did not end within %lu s\n", exe.c_str(), kTimeoutMs / 1000);
        return 1;
    }
    const double ended = Now();
    DWORD code = 1;
    GetExitCodeProcess(child.handle(), &code);
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(child.handle(), &created, &exited, &kernel, &user)) return 1;
    std::printf("wall_ms=%.1f start_s=%.6f end_s=%.6f life_ms=%.1f user_ms=%.1f kernel_ms=%.1f exit=%lu\n",
                ended - start, start / 1000.0, ended / 1000.0, Milliseconds(exited) - Milliseconds(created),
                Milliseconds(user), Milliseconds(kernel), static_cast<unsigned long>(code));
    std::fputs(child.Output().c_str(), stdout);
    return code == 0 ? 0 : 1;
}

int Wizard(const std::string& exe) {
    GetDesktopWindow();
    wintest::Child child;
    if (!child.Start(exe, "")) return 2;
    HWND page = WaitPage(child.pid(), kSelectAll);
    if (page == nullptr) {
        std::printf("bench_ui: no language page\n");
        child.Kill();
        return 1;
    }
    wintest::Click(page, kAgreement);
    if (!wintest::WaitUntil([&] { return wintest::Enabled(page, kInstallNow); }, kTimeoutMs)) {
        child.Kill();
        return 1;
    }
    const double pressed = Now();
    wintest::Click(page, kInstallNow);
    HWND finish = WaitPage(child.pid(), kFinishClose, 10);
    const double finished = Now();
    if (finish == nullptr) {
        std::printf("bench_ui: no finish page\n");
        child.Kill();
        return 1;
    }
    wintest::Click(finish, kFinishClose);
    DWORD code = 1;
    if (!child.WaitExit(kTimeoutMs, &code)) child.Kill();
    std::printf("install_ms=%.1f pressed_s=%.6f finished_s=%.6f exit=%lu\n", finished - pressed, pressed / 1000.0,
                finished / 1000.0, static_cast<unsigned long>(code));
    return code == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    const std::string option = "--winedebug=";
    if (argc > first && std::string(argv[first]).compare(0, option.size(), option) == 0) {
        SetEnvironmentVariableA("WINEDEBUG", argv[first] + option.size());
        ++first;
    }
    const std::string mode = argc > first ? argv[first] : "";
    const int rest = argc - first - 1;  // arguments after the mode
    if (mode == "startup" && rest == 2) return Startup(argv[first + 1], std::atoi(argv[first + 2]));
    if (mode == "run" && rest >= 1) {
        std::string arguments;
        for (int i = first + 2; i < argc; ++i) arguments += (i > first + 2 ? " " : "") + Quoted(argv[i]);
        return Run(argv[first + 1], arguments);
    }
    if (mode == "wizard" && rest == 1) return Wizard(argv[first + 1]);
    if (mode == "hold" && rest == 0) return Hold();
    std::printf("usage: bench_ui [--winedebug=CHANNELS] startup EXE CONTROL_ID | run EXE [ARGUMENT...] | "
                "wizard EXE | hold\n");
    return 2;
}
