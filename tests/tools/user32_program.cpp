// A program that imports USER32 the ordinary way (in its import table) and
// does nothing else: the planting tests' proof that a planted DLL is seen
// when a program does load it from its own folder. It also imports a
// function that Windows 7 lacks, for the file check to find.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0602
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    return GetSystemMetrics(SM_CXSCREEN) > 0 ? 0 : 1;
}
