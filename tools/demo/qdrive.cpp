// Runs a Windows program and answers its message boxes with OK, printing each
// box as the user would read it, then the program's exit status.
//
//   qdrive [--timeout=seconds] [--hold=seconds] PROGRAM [ARGUMENTS...]
//
// --hold waits that long before answering each box, so that it can be seen.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "wintest.h"

int main(int argc, char** argv) {
    int first = 1;
    unsigned timeout = 600;
    unsigned hold = 0;
    for (; first < argc && std::string(argv[first]).rfind("--", 0) == 0; ++first) {
        const std::string arg = argv[first];
        if (arg.rfind("--timeout=", 0) == 0) timeout = static_cast<unsigned>(std::atoi(arg.c_str() + 10));
        if (arg.rfind("--hold=", 0) == 0) hold = static_cast<unsigned>(std::atoi(arg.c_str() + 7));
    }
    if (first >= argc) {
        std::printf("usage: qdrive [--timeout=s] [--hold=s] PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    const std::string program = wintest::WinPath(argv[first]);
    std::string arguments;
    for (int i = first + 1; i < argc; ++i) arguments += (arguments.empty() ? "" : " ") + std::string(argv[i]);

    wintest::Child child;
    if (!child.Start(program, arguments)) {
        std::printf("qdrive: cannot start %s\n", program.c_str());
        return 2;
    }
    std::printf("started: %s %s\n", program.c_str(), arguments.c_str());
    std::fflush(stdout);
    const DWORD deadline = GetTickCount() + timeout * 1000;
    for (;;) {
        wintest::Box box;
        if (child.WaitBox(box, 200)) {
            std::printf("message box [%s]: %s\n", box.caption.c_str(), box.text.c_str());
            std::fflush(stdout);
            if (hold > 0) Sleep(hold * 1000);
            wintest::PressOk(box);
            continue;
        }
        if (!child.Running()) break;
        if (static_cast<int>(GetTickCount() - deadline) > 0) {
            std::printf("qdrive: no end after %u s; stopped\n", timeout);
            child.Kill();
            return 3;
        }
    }
    DWORD code = 0;
    child.WaitExit(5000, &code);
    std::printf("exit status: %lu\n", static_cast<unsigned long>(code));
    return 0;
}
