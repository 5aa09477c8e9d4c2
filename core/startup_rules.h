// Start-up rules that need no Windows call: the command line, the names
// derived from the executable's path, the client's Uninstall key and the
// installed-marker comparison.
#pragma once

#include <string>

// Root of the Uninstall entries on 64-bit and on 32-bit Windows.
extern const char* const kUninstallRoot64;
extern const char* const kUninstallRoot32;

// True when one of the arguments after the program name is exactly "/silent".
bool HasSilentArgument(int argc, const char* const* argv);

// The part of a path after its last backslash; the whole path without one.
std::string FileNameOfPath(const std::string& path);

// The file name of a path without its extension: the application's name,
// shown as the caption of its message boxes.
std::string ApplicationNameOfPath(const std::string& path);

// Name of the single-instance mutex for the executable at this path.
std::string InstanceMutexName(const std::string& exePath);

// The stored key joined to the Uninstall root of the running system.
std::string CompleteUninstallKey(bool is64BitSystem, const std::string& storedKey);

// Whether the language pack still needs installing: the installer's own
// entry does not carry the served product code exactly (case-sensitive,
// without braces).
bool NeedsInstallFor(const std::string& productGuid);
