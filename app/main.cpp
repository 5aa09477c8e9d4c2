// The program's entry point: limits the library search, then runs the
// installer's start-up, whose result is the exit status. The installer runs
// no message loop of its own: every page runs modally.
#include <windows.h>

#include "app/app.h"
#include "framework/library_search.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictLibrarySearchToSystem();
    InstallerApp app;
    return app.Start();
}
