// Start-up checks of the installer: the single running instance and the
// maker's sibling tool.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

// Returns when this is the only running instance of the executable's file
// name (on the whole machine); otherwise tells the user and ends the process.
void EnsureSingleInstance();

// Id of the first running process whose executable file name is exactly
// exeName (case-sensitive); 0 when none is.
DWORD FindProcessByName(const std::string& exeName);

// Writes the compatibility mark for the running executable under
// HKEY_CURRENT_USER; nothing is created when the key does not exist.
void WriteCompatibilityMark();

// Stops a running sibling tool after telling the user.
void StopSiblingTool();
