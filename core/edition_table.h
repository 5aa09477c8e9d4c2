// The served client's folders per brand and edition: the edition root below
// the install location, and below it the client folder and the reference
// configuration file.
#pragma once

#include <string>

struct EditionRow {
    const char* brandFlag;        // "0" Kestrova, "1" Palomind
    const char* productTypeFlag;  // "0" site, "1" AC, "2" VS
    const char* editionRoot;      // appended to InstallLocation
    const char* clientFolder;     // appended to the edition root, ends with a backslash
    const char* benchmarkFile;    // appended to the edition root
};

// The row for these build settings (exact text); nullptr outside the table.
const EditionRow* FindEditionRow(const std::string& brand, const std::string& productType);
