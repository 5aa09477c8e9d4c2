// The receipt of an installation: what the installer did to the client, so
// that a removal can undo exactly that and a deployment tool can see it is
// installed. Kept as a small XML document; every path is UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A configuration copy the installation rewrote: its bytes before the first
// installation are kept in a file of their own beside the receipt (backup),
// and what the installer last wrote there is known by size and CRC, so that
// a removal can tell whether the copy changed since.
struct ReceiptCopy {
    std::string path;
    std::string backup;          // file name beside the receipt
    std::string beforeLanguages;  // the language list before the first installation
    std::string beforeMark;       // the multilingual mark's value then ("" when the copy has none)
    std::uint64_t writtenSize = 0;
    std::uint32_t writtenCrc = 0;
};

// A file the installation added below the client folder (there was none
// before), by its path relative to that folder.
struct ReceiptFile {
    std::string path;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;  // CRC-32 of its bytes as the installer wrote them
};

struct Receipt {
    std::string version, brand, edition;
    std::string clientFolder;        // with its trailing backslash
    std::string languages;           // the languages now recorded
    std::vector<ReceiptCopy> copies;
    std::vector<ReceiptFile> files;
    std::vector<std::string> folders;  // folders the installation made, relative to the client folder

    const ReceiptCopy* FindCopy(const std::string& path) const;
    const ReceiptFile* FindFile(const std::string& path) const;
};

std::string ReceiptText(const Receipt& receipt);
// False when the text is not a receipt (nothing is taken from it then).
bool ParseReceipt(const std::string& text, Receipt& receipt);

// A later installation's receipt: the earlier one's copies and files are
// kept (the earliest "before" wins), this one's are added; the languages and
// the version are this installation's.
Receipt MergeReceipts(const Receipt& earlier, const Receipt& later);

// CRC-32 (the one ZIP and RAR use) of these bytes, continued from crc.
std::uint32_t Crc32(const void* bytes, std::size_t size, std::uint32_t crc = 0);
