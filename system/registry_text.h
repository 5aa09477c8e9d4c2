// Reading a registry value as installer text.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

// Size of the buffer every registry value is read into; values of this many
// bytes or more (terminator included) do not fit and count as unreadable.
constexpr DWORD kRegistryTextBytes = 1024;

// Queries one value into a 1024-byte buffer and takes its bytes as ANSI text,
// whatever type the registry reports. The text ends at the first zero byte or
// at the end of what was read. Returns false (text empty) when the value is
// missing or does not fit.
bool ReadRegistryText(HKEY key, const char* valueName, std::string& text);
