// Rules over the client's configuration values that need no Windows call:
// the decimal reading of a value, the paths of the configuration copies and
// the compatibility verdict.
#pragma once

#include <string>

// The value of a text read the way the standard text-to-integer conversion
// reads it: leading blanks skipped, an optional sign, digits up to the first
// non-digit, 0 when there are none. Out-of-range values are clamped.
int DecimalValue(const std::string& text);

// The public users folder for a SYSTEMDRIVE value ("C:" gives
// "C:/Users/Public"). Without the variable the folder is one that no file
// can be loaded from.
std::string PublicUsersFolderFor(bool systemDriveSet, const std::string& systemDrive);

struct UserDataPaths {
    std::string publicSetupPath;
    std::string installSetupPath;
};

// Composes the public and the install copy's paths from the reference file's
// own "VersionType" and "ProductType" values. Returns false, composing
// nothing, when the version type is neither 0 nor 1.
bool ComposeUserDataPathsFor(const std::string& versionType, const std::string& productType,
                             const std::string& publicUsersFolder, const std::string& editionRoot,
                             UserDataPaths& paths);

enum class Verdict { Compatible, VersionTypeMismatch, ProductTypeMismatch, LanguageTypeMismatch };

// The first failing rule wins: version type, product type (both exact text
// against the build settings), then no language item exactly "1".
Verdict CompatibilityVerdict(const std::string& versionType, const std::string& productType,
                             const std::string& clientLanguages, const std::string& brand,
                             const std::string& productTypeSetting);

// The message shown for a verdict; empty for a compatible client.
const std::string& VerdictMessage(Verdict verdict);
