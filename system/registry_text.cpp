#include "system/registry_text.h"

#include <cstring>

bool ReadRegistryText(HKEY key, const char* valueName, std::string& text) {
    // One spare byte so that a value that fills the whole buffer without a
    // terminator still ends inside it.
    char buffer[kRegistryTextBytes + 1];
    std::memset(buffer, 0, sizeof buffer);
    DWORD size = kRegistryTextBytes;
    DWORD type = 0;
    const LONG result =
        RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (result != ERROR_SUCCESS) {
        text.clear();
        return false;
    }
    if (size > kRegistryTextBytes) size = kRegistryTextBytes;
    if (size == kRegistryTextBytes && buffer[size - 1] != '\0') {
        // Data without a terminator that fills the whole buffer: 1024
        // characters or more, which do not fit.
        text.clear();
        return false;
    }
    buffer[size] = '\0';
    text.assign(buffer, std::strlen(buffer));
    return true;
}
