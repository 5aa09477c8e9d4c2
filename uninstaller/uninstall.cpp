// The uninstaller the installer carries and leaves in the temporary folder;
// the installer itself never runs it and registers nothing that points here.
//
// The removal is the setup's own: "Quennel.exe /uninstall" (with /quiet and
// /log= for a deployment tool) undoes what the installations recorded. This
// program says so in one line and changes nothing: on the console it was
// started from, or in a box where someone can read it, and never waits for
// nobody. It ends with 1 (nothing was removed).
#include <windows.h>

#include "framework/library_search.h"
#include "system/window_station.h"

namespace {

const wchar_t kInstead[] =
    L"To remove the Quennel language pack, run its setup with /uninstall "
    L"(Quennel.exe /uninstall; add /quiet where nobody watches). This program removes nothing.";

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictLibrarySearchToSystem();
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        DWORD written = 0;
        WriteConsoleW(out, kInstead, static_cast<DWORD>(wcslen(kInstead)), &written, nullptr);
        WriteConsoleW(out, L"\r\n", 2, &written, nullptr);
    } else if (SomeoneCanAnswer()) {
        MessageBoxW(nullptr, kInstead, L"Quennel Language Pack", MB_OK | MB_ICONINFORMATION);
    }
    return 1;
}
