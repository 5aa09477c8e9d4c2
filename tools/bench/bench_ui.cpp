// The benchmark's user: starts a program under Wine and times what a user
// sees, with the UI automation of the test support.
//
//   bench_ui startup EXE CONTROL_ID
//       Milliseconds from the start of EXE to a visible top-level window of it
//       holding the control; the program is then ended.
//   bench_ui silent EXE
//       Milliseconds from the start of "EXE /silent" to its end, by the same
//       clock as the wizard's extraction phase.
//   bench_ui wizard EXE
//       Starts the installer's wizard, ticks the agreement, presses Install
//       Now and prints the milliseconds until the finish page is on screen
//       (the extraction phase of the wizard road), then closes the finish page.
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

// Polls more finely than the tests need: the start-up is itself well under a second.
HWND WaitPage(DWORD pid, int controlId) {
    const double deadline = Now() + kTimeoutMs;
    while (Now() < deadline) {
        if (HWND page = wintest::FindPage(pid, controlId)) return page;
        Sleep(2);
    }
    return nullptr;
}

int Startup(const std::string& exe, int controlId) {
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
    std::printf("startup_ms=%.1f\n", shown - start);
    return 0;
}

int Silent(const std::string& exe) {
    wintest::Child child;
    const double start = Now();
    if (!child.Start(exe, "/silent")) return 2;
    DWORD code = 1;
    if (!child.WaitExit(kTimeoutMs, &code)) {
        child.Kill();
        return 1;
    }
    std::printf("install_ms=%.1f exit=%lu\n", Now() - start, static_cast<unsigned long>(code));
    return code == 0 ? 0 : 1;
}

int Wizard(const std::string& exe) {
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
    HWND finish = WaitPage(child.pid(), kFinishClose);
    const double finished = Now();
    if (finish == nullptr) {
        std::printf("bench_ui: no finish page\n");
        child.Kill();
        return 1;
    }
    wintest::Click(finish, kFinishClose);
    DWORD code = 1;
    if (!child.WaitExit(kTimeoutMs, &code)) child.Kill();
    std::printf("install_ms=%.1f exit=%lu\n", finished - pressed, static_cast<unsigned long>(code));
    return code == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "startup" && argc == 4) return Startup(argv[2], std::atoi(argv[3]));
    if (mode == "silent" && argc == 3) return Silent(argv[2]);
    if (mode == "wizard" && argc == 3) return Wizard(argv[2]);
    std::printf("usage: bench_ui startup EXE CONTROL_ID | bench_ui silent EXE | bench_ui wizard EXE\n");
    return 2;
}
