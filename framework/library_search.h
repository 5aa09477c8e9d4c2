// Where the program's libraries come from: the system folder, never the
// folder the program was started from (a Downloads folder, say) nor the
// current folder.
#pragma once

#include <windows.h>

// Limits the library search of this process to the system folder (and
// folders added on purpose). Called first thing, before any DLL other than
// KERNEL32 and msvcrt is loaded; every other DLL is delay-loaded, so it and
// its own dependencies are looked for only there. On a Windows 7 without the
// update that added SetDefaultDllDirectories, the current folder is at least
// taken out of the search. The theme library, which the window libraries
// load by name when they need it, is loaded from the system folder at once.
void RestrictLibrarySearchToSystem();

// Loads a library of Windows by its full path in the system folder.
HMODULE LoadSystemLibrary(const char* fileName);
