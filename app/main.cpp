// The program's entry: the library search is limited to the system folder
// before anything else loads, then the installer runs once. The process ends
// here, and only here, with the run's exit status.
#include "app/app.h"
#include "framework/library_search.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictLibrarySearchToSystem();
    return RunInstaller();
}
