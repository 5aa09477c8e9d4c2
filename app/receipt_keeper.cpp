#include "app/receipt_keeper.h"

#include <tinyxml2.h>

#include "core/config_document.h"
#include "system/receipt_store.h"
#include "system/run_log.h"

std::wstring ReceiptName(const InstallRun& run) {
    return Utf8ToWide("Quennel-" + run.brandName + "-" + run.editionName + ".xml");
}

const std::string* CopyPaths(const InstallRun& run, int index) {
    const std::string* paths[3] = {&run.publicSetupPath, &run.installSetupPath, &run.benchmarkSetupPath};
    return paths[index];
}

ReceiptKeeper::ReceiptKeeper(const InstallRun& run) : m_name(ReceiptName(run)) {
    std::string text;
    if (ReadWholeFile(ReceiptFolder() + m_name, text)) ParseReceipt(text, m_earlier);
}

void ReceiptKeeper::BeforeCopies(const InstallRun& run, const ExtractionJob& job) {
    for (int i = 0; i < 3; ++i) {
        const std::string path = AnsiToUtf8(*CopyPaths(run, i));
        std::string bytes;
        if (path.empty() || m_earlier.FindCopy(path) != nullptr || !ReadWholeFile(Utf8ToWide(path), bytes)) continue;
        tinyxml2::XMLDocument document;
        if (!ParseConfigText(bytes, document)) continue;  // not one the installer rewrites
        ReceiptCopy copy{path, "", ConfigValue(document, "Languages"), ConfigValue(document, "MultilingualInstallation")};
        const std::wstring backup = m_name.substr(0, m_name.size() - 4) + L".copy" + std::to_wstring(i + 1) + L".xml";
        if (SaveReceiptFile(backup, bytes)) copy.backup = WideToUtf8(backup);
        m_pending.copies.push_back(copy);
    }
    SaveReceiptFile(m_name, ReceiptText(Current(run, job)));
}

bool ReceiptKeeper::AfterCopies(const InstallRun& run, const ExtractionJob& job) {
    Receipt written;
    for (int i = 0; i < 3; ++i) {
        const std::string path = AnsiToUtf8(*CopyPaths(run, i));
        if (path.empty()) continue;
        const ReceiptCopy* copy = m_pending.FindCopy(path);
        if (copy == nullptr) copy = m_earlier.FindCopy(path);
        if (copy == nullptr) continue;
        ReceiptCopy now = *copy;
        if (run.copyUpdates[i] != CopyUpdate::Updated || !FileSizeAndCrc(Utf8ToWide(path), now.writtenSize, now.writtenCrc)) {
            // Not rewritten now: an earlier record stands as it is; a copy
            // first met now needs no way back.
            if (m_earlier.FindCopy(path) == nullptr && !now.backup.empty()) RemoveReceiptFile(Utf8ToWide(now.backup));
            continue;
        }
        written.copies.push_back(now);
    }
    m_pending.copies = written.copies;
    return SaveReceiptFile(m_name, ReceiptText(Current(run, job)));
}

Receipt ReceiptKeeper::Current(const InstallRun& run, const ExtractionJob& job) const {
    Receipt now;
    now.version = run.version;
    now.brand = run.brandName;
    now.edition = run.editionName;
    now.clientFolder = AnsiToUtf8(run.clientFolder);
    now.languages = run.selectedCodes;
    now.copies = m_pending.copies;
    for (const ExtractionJob::Addition& addition : job.additions) {
        if (addition.folder) {
            now.folders.push_back(WideToUtf8(addition.path));
        } else {
            now.files.push_back({WideToUtf8(addition.path), addition.size, addition.crc});
        }
    }
    return MergeReceipts(m_earlier, now);
}

std::string ReceiptKeeper::PathForLog() const { return WideToUtf8(ReceiptFolder() + m_name); }
