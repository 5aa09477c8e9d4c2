// A program linked the way that breaks delay loading on i686: its USER32
// call is compiled with dllimport, so it refers only to the address slot,
// and the linker drops the loading stub the slot should start at. The file
// check must reject it; started, it would jump to address 0.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return GetSystemMetrics(SM_CXSCREEN) > 0 ? 0 : 1;
}
