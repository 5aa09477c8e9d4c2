// Writing the chosen languages into the client's configuration copies.
#pragma once

#include <string>

#include "core/install_run.h"

// Rewrites one configuration copy with these codes as its language list and
// the multilingual mark set, or leaves it alone (missing, not loadable,
// lacking the language list, or not writable), and says which. Never shows a
// message. The copy is replaced in one step, so it is either the old file or
// the new one.
CopyUpdate UpdateClientConfig(const std::string& path, const std::string& selectedCodes, const char* mark = "true");

// Puts these bytes in the copy's place the same way (a copy that exists and
// may be written): Updated, NotWritable or WriteFailed.
CopyUpdate ReplaceClientConfig(const std::string& path, const std::string& bytes);

// The three copies in their order: public, install, reference; what became
// of each goes into the run.
void UpdateClientConfigCopies(InstallRun& run);

// Whether a copy already records these codes; nothing is written.
enum class CopyCheck { Missing, Unreadable, NotLoadable, NoLanguageList, Lists, Lacks };
CopyCheck CheckClientConfig(const std::string& path, const std::string& codes);
