// Writing the chosen languages into the client's configuration copies.
#pragma once

#include <string>

// Rewrites one configuration copy with selectedCodes as its language list and
// the multilingual mark set, or leaves it alone (missing, not loadable,
// lacking the language list, or not writable). Never shows a message. The
// copy is replaced in one step, so it is either the old file or the new one.
void UpdateClientConfig(const std::string& path);

// The three copies in their order: public, install, reference.
void UpdateClientConfigCopies();
