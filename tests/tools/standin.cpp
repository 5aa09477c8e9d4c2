// A stand-in for another program in the installer's tests: it runs without a
// window until it is stopped, or ends by itself after the given number of
// seconds (default 120), with exit status 0.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    int seconds = std::atoi(commandLine);
    if (seconds <= 0) seconds = 120;
    Sleep(static_cast<DWORD>(seconds) * 1000);
    return 0;
}
