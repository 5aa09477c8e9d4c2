// The files the installer carries as resources, copied into the user's
// temporary folder before they are needed.
#pragma once

#include <string>

// Copies the resource of this type and ID, byte for byte, into the file of
// this name in the temporary folder, replacing an existing file. Returns the
// bytes written, -1 when the file could not be written whole. Nobody is told:
// the consumer of the file finds out.
long long WriteResourceFile(const char* type, int id, const std::string& fileName);

long long WriteArchiveFile();      // "RAR" 148 → setup.rar
long long WriteUninstallerFile();  // "EXE" 176 → uninstall.exe
long long WriteUnrarFile();        // "DLL" 147 → setup.dll
long long WriteLicenseFile();      // "RTF" 165 → license.rtf

// Whether the file at this path holds exactly the bytes of the resource.
bool FileMatchesResource(const std::string& path, const char* type, int id);

// The temporary folder as the system reports it, with its trailing backslash.
std::string TempFolder();
