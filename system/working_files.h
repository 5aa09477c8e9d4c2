// The files the installer carries as resources, copied into the user's
// temporary folder before they are needed.
//
// The temporary folder may be one where every user can create files (the
// machine's own when the installer runs as SYSTEM), so a file standing there
// under a working file's name may be anyone's. A file the installer reads,
// loads or shows is therefore used only while it is held (reading shared;
// writing, deleting and renaming refused to everyone) and only when its
// bytes, read through that hold, are exactly the resource's.
#pragma once

#include <string>

#include "system/scoped.h"

// What became of a working file.
enum class WorkingFile {
    NotPrepared,  // nobody asked for it yet
    Written,      // written fresh, and held with the resource's bytes
    Verified,     // could not be written; the file there holds the resource's bytes, and is held
    Foreign,      // could not be written, and the file there is not the resource (or cannot be held)
    Changed,      // written, but no longer the resource's bytes when it was held
};

// A working file, held from the check of its bytes until this object goes:
// nothing can change, replace or remove it in between.
class HeldWorkingFile {
public:
    HeldWorkingFile() = default;
    HeldWorkingFile(HeldWorkingFile&&) = default;
    HeldWorkingFile& operator=(HeldWorkingFile&&) = default;

    // Writes the resource of this type and ID into the file of this name in
    // the temporary folder, then holds and checks it.
    static HeldWorkingFile Prepare(const char* type, int id, const std::string& fileName);
    // Holds and checks the file of this name as it stands (written earlier).
    static HeldWorkingFile Hold(const char* type, int id, const std::string& fileName);

    WorkingFile State() const { return state_; }
    bool Usable() const { return state_ == WorkingFile::Written || state_ == WorkingFile::Verified; }
    const std::string& Path() const { return path_; }
    long long Bytes() const { return bytes_; }  // its size when usable, -1 otherwise
    HANDLE Handle() const { return hold_.get(); }

private:
    WorkingFile state_ = WorkingFile::NotPrepared;
    bool inUse_ = false;  // it could not be held: another process has it open
    std::string path_;
    long long bytes_ = -1;
    ScopedFile hold_;
};

// Copies the resource of this type and ID, byte for byte, into the file of
// this name in the temporary folder, replacing an existing file. Returns the
// bytes written, -1 when the file could not be written whole. Nobody is told:
// the consumer of the file finds out.
long long WriteResourceFile(const char* type, int id, const std::string& fileName);

HeldWorkingFile PrepareArchiveFile();  // "RAR" 148 → setup.rar
HeldWorkingFile PrepareUnrarFile();    // "DLL" 147 → setup.dll
long long WriteUninstallerFile();      // "EXE" 176 → uninstall.exe (never read or run by the installer)
long long WriteLicenseFile();          // "RTF" 165 → license.rtf
HeldWorkingFile HoldLicenseFile();     // license.rtf as it stands, for the licence page

// The temporary folder as the system reports it, with its trailing backslash.
std::string TempFolder();
