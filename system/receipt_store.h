// Where receipts are kept: %ProgramData%\Quennel\, a folder only
// administrators may write when an elevated installer makes it. The receipt
// and the copies' earlier bytes are files there.
#pragma once

#include <cstdint>
#include <string>

// The folder, with its trailing backslash.
std::wstring ReceiptFolder();

// Reads a whole file; false when it is missing or cannot be read.
bool ReadWholeFile(const std::wstring& path, std::string& bytes);

// Writes a file in the receipts' folder (made first, see above): to a new
// file beside it, which then takes its place in one step.
bool SaveReceiptFile(const std::wstring& name, const std::string& bytes);

// Removes a file of the receipts' folder, and the folder once it is empty.
// True when the file is gone.
bool RemoveReceiptFile(const std::wstring& name);

// Size and CRC-32 of a file's bytes; false when it cannot be read.
bool FileSizeAndCrc(const std::wstring& path, std::uint64_t& size, std::uint32_t& crc);
