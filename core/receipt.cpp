#include "core/receipt.h"

#include <cinttypes>
#include <cstdio>

#include <tinyxml2.h>

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

namespace {

const char* Text(const XMLElement* element, const char* name) {
    const char* value = element->Attribute(name);
    return value != nullptr ? value : "";
}

std::string Hex(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08" PRIx32, value);
    return text;
}

bool ReadNumber(const XMLElement* element, const char* name, std::uint64_t& value) {
    const char* text = element->Attribute(name);
    unsigned long long number = 0;
    if (text == nullptr || std::sscanf(text, "%llu", &number) != 1) return false;
    value = number;
    return true;
}

bool ReadHex(const XMLElement* element, const char* name, std::uint32_t& value) {
    const char* text = element->Attribute(name);
    unsigned long number = 0;
    if (text == nullptr || std::sscanf(text, "%8lx", &number) != 1) return false;
    value = static_cast<std::uint32_t>(number);
    return true;
}

}  // namespace

const ReceiptCopy* Receipt::FindCopy(const std::string& path) const {
    for (const ReceiptCopy& copy : copies) {
        if (copy.path == path) return &copy;
    }
    return nullptr;
}

const ReceiptFile* Receipt::FindFile(const std::string& path) const {
    for (const ReceiptFile& file : files) {
        if (file.path == path) return &file;
    }
    return nullptr;
}

std::string ReceiptText(const Receipt& receipt) {
    XMLDocument document;
    document.InsertEndChild(document.NewDeclaration());
    XMLElement* root = document.NewElement("QuennelReceipt");
    document.InsertEndChild(root);
    root->SetAttribute("version", receipt.version.c_str());
    root->SetAttribute("brand", receipt.brand.c_str());
    root->SetAttribute("edition", receipt.edition.c_str());
    root->SetAttribute("clientFolder", receipt.clientFolder.c_str());
    root->SetAttribute("languages", receipt.languages.c_str());
    for (const ReceiptCopy& copy : receipt.copies) {
        XMLElement* element = root->InsertNewChildElement("Copy");
        element->SetAttribute("path", copy.path.c_str());
        element->SetAttribute("backup", copy.backup.c_str());
        element->SetAttribute("beforeLanguages", copy.beforeLanguages.c_str());
        element->SetAttribute("beforeMark", copy.beforeMark.c_str());
        element->SetAttribute("writtenSize", std::to_string(copy.writtenSize).c_str());
        element->SetAttribute("writtenCrc", Hex(copy.writtenCrc).c_str());
    }
    for (const std::string& folder : receipt.folders) {
        root->InsertNewChildElement("Folder")->SetAttribute("path", folder.c_str());
    }
    for (const ReceiptFile& file : receipt.files) {
        XMLElement* element = root->InsertNewChildElement("File");
        element->SetAttribute("path", file.path.c_str());
        element->SetAttribute("size", std::to_string(file.size).c_str());
        element->SetAttribute("crc", Hex(file.crc).c_str());
    }
    tinyxml2::XMLPrinter printer;
    document.Print(&printer);
    return std::string(printer.CStr(), static_cast<std::size_t>(printer.CStrSize() - 1));
}

bool ParseReceipt(const std::string& text, Receipt& receipt) {
    XMLDocument document;
    if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) return false;
    const XMLElement* root = document.FirstChildElement("QuennelReceipt");
    if (root == nullptr) return false;
    Receipt read;
    read.version = Text(root, "version");
    read.brand = Text(root, "brand");
    read.edition = Text(root, "edition");
    read.clientFolder = Text(root, "clientFolder");
    read.languages = Text(root, "languages");
    for (const XMLElement* e = root->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        const std::string name = e->Name();
        if (name == "Copy") {
            ReceiptCopy copy{Text(e, "path"), Text(e, "backup"), Text(e, "beforeLanguages"), Text(e, "beforeMark")};
            if (copy.path.empty() || !ReadNumber(e, "writtenSize", copy.writtenSize) ||
                !ReadHex(e, "writtenCrc", copy.writtenCrc)) {
                return false;
            }
            read.copies.push_back(copy);
        } else if (name == "File") {
            ReceiptFile file{Text(e, "path")};
            if (file.path.empty() || !ReadNumber(e, "size", file.size) || !ReadHex(e, "crc", file.crc)) return false;
            read.files.push_back(file);
        } else if (name == "Folder") {
            if (*Text(e, "path") == '\0') return false;
            read.folders.push_back(Text(e, "path"));
        }
    }
    receipt = read;
    return true;
}

Receipt MergeReceipts(const Receipt& earlier, const Receipt& later) {
    Receipt merged = later;
    merged.copies = earlier.copies;
    for (const ReceiptCopy& copy : later.copies) {
        bool known = false;
        for (ReceiptCopy& kept : merged.copies) {
            if (kept.path != copy.path) continue;
            // The earliest "before" stays; what was written is this run's.
            kept.writtenSize = copy.writtenSize;
            kept.writtenCrc = copy.writtenCrc;
            known = true;
        }
        if (!known) merged.copies.push_back(copy);
    }
    merged.files = earlier.files;
    for (const ReceiptFile& file : later.files) {
        if (merged.FindFile(file.path) == nullptr) merged.files.push_back(file);
    }
    merged.folders = earlier.folders;
    for (const std::string& folder : later.folders) {
        bool known = false;
        for (const std::string& kept : merged.folders) known = known || kept == folder;
        if (!known) merged.folders.push_back(folder);
    }
    return merged;
}

std::uint32_t Crc32(const void* bytes, std::size_t size, std::uint32_t crc) {
    struct Table {
        std::uint32_t entries[256];
        Table() : entries() {
            for (std::uint32_t n = 0; n < 256; ++n) {
                std::uint32_t c = n;
                for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
                entries[n] = c;
            }
        }
    };
    static const Table crcTable;
    const std::uint32_t* table = crcTable.entries;
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
