// Starting another program from the installer, which runs with
// administrator rights.
#pragma once

#include <string>

// Starts the program at this full path as the signed-in user would, without
// the installer's administrator rights: the desktop shell (Explorer), which
// runs with the user's own rights, is asked to start it. Where there is no
// desktop shell to ask (nobody signed in, another shell), the program is
// started directly, with the installer's rights. Nothing is waited for.
void StartAsSignedInUser(const std::string& path);

// The runtime product whose installer the finish page may start: its
// Uninstall key in either registry view.
extern const char* const kRuntimeProductKey;
extern const char* const kRuntimeProductKeyWow64;
bool RuntimeProductInstalled();

// Opens the file at this full path as the shell's "open" verb does (the
// runtime installer); nothing is waited for.
void OpenWithShell(const std::string& path);
