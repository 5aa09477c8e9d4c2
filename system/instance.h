// The installer among the running programs: one instance at a time, the
// maker's sibling tool, the compatibility mark for the running executable.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <vector>

#include "system/scoped.h"

// Claims the machine-wide mutex named after the executable's file name; the
// claim lasts as long as the returned owner. Empty when another instance
// holds it (or it cannot be opened).
ScopedHandle ClaimSingleInstance();

// Ids of every running process whose executable file name is exactly
// exeName (case-sensitive); empty when none is.
std::vector<DWORD> FindProcessesByName(const std::string& exeName);

// Ends the process and gives it a few seconds to go, so that the files it
// held are free before the installation writes them. True when it has ended.
bool StopProcess(DWORD pid);

// Writes the compatibility mark for the running executable under
// HKEY_CURRENT_USER; nothing is created when the key does not exist.
void WriteCompatibilityMark();

// The running executable's full path (at most MAX_PATH characters).
std::string ModulePath();
