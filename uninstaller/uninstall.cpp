// The uninstaller the installer carries and leaves in the temporary folder;
// the installer itself never runs it and registers nothing that points here.
//
// The installer copies translation files into the client's own folders and
// records the chosen languages in the client's configuration. Those files
// and settings belong to the client from then on: the client's uninstaller
// removes them with the client, and removing them alone would leave the
// client's configuration naming languages it no longer has. So this program
// only says so; it touches no file and no registry key, and ends with 0.
#include <windows.h>

#include "framework/library_search.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictLibrarySearchToSystem();
    static const wchar_t kText[] =
        L"This is the uninstaller of the Quennel Language Pack.\n\n"
        L"The translation files of the language pack are part of the client's "
        L"installation. They are removed together with the client by the "
        L"client's own uninstaller.\n\n"
        L"This program therefore changes nothing on this computer.";
    MessageBoxW(nullptr, kText, L"Quennel Language Pack", MB_OK | MB_ICONINFORMATION);
    return 0;
}
