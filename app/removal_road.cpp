#include "app/removal_road.h"

#include <algorithm>

#include "app/installation.h"
#include "app/receipt_keeper.h"
#include "app/run_report.h"
#include "core/receipt.h"
#include "system/config_update.h"
#include "system/receipt_store.h"
#include "system/run_log.h"

namespace {

const std::string kRemoved =
    "The Quennel language pack was removed: the client's configuration is as it was before, and the translation "
    "files the language pack added are deleted.";
const std::string kNothingToRemove = "The Quennel language pack is not installed on this computer: nothing was removed.";
const std::string kNotRemoved =
    "The Quennel language pack could not be removed completely. Close the client and run the removal again.";

// A path the receipt names below the client folder: relative, and never
// climbing out of it.
bool BelowTheFolder(const std::string& path) {
    if (path.empty() || path[0] == '\\' || path[0] == '/' || path.find(':') != std::string::npos) return false;
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type end = path.find_first_of("\\/", start);
        const std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty() || part == "." || part == "..") return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

// Puts one copy back; false when it could not be. What happened goes to why.
bool RestoreCopy(const std::string& ansiPath, const ReceiptCopy& copy, std::string& why) {
    const std::wstring path = Utf8ToWide(copy.path);
    std::string current;
    if (!ReadWholeFile(path, current)) {
        const bool missing = GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
        why = missing ? "missing: nothing to put back" : "could not be read";
        return missing;
    }
    std::string before;
    const bool haveBefore = !copy.backup.empty() && ReadWholeFile(ReceiptFolder() + Utf8ToWide(copy.backup), before);
    if (haveBefore && current == before) {
        why = "as before the installation";
        return true;
    }
    if (haveBefore && current.size() == copy.writtenSize && Crc32(current.data(), current.size()) == copy.writtenCrc) {
        const bool put = ReplaceClientConfig(ansiPath, before) == CopyUpdate::Updated;
        why = put ? "put back as it was before the installation" : "could not be written";
        return put;
    }
    // Changed since the installation: only the languages and the mark go back.
    const std::string mark = copy.beforeMark.empty() ? "false" : copy.beforeMark;
    const CopyUpdate update = UpdateClientConfig(ansiPath, copy.beforeLanguages, mark.c_str());
    why = "changed since the installation: its earlier languages and mark set again, " + DescribeCopyUpdate(update);
    return update == CopyUpdate::Updated || !CopyNotUpdated(update);
}

std::size_t Depth(const std::string& path) { return std::count(path.begin(), path.end(), '\\'); }

}  // namespace

RunOutcome RunRemovalRoad(Installation& installation, InstallRun& run, UserMessages& messages, RunReport& report) {
    installation.ReadUserEntry();
    // A client that no longer accepts language packs still gets its files back.
    const ClientStatus client = installation.CheckClient();
    report.Client(run);
    if (client == ClientStatus::NotFound) {
        messages.Tell(installation.ClientFailure());
        return RunOutcome::ClientMissing;
    }
    const std::wstring name = ReceiptName(run);
    const std::string receiptPath = WideToUtf8(ReceiptFolder() + name);
    std::string text;
    Receipt receipt;
    if (!ReadWholeFile(ReceiptFolder() + name, text)) {
        report.Line("removal: no receipt at " + receiptPath + ": nothing to remove");
        messages.Tell(kNothingToRemove);
        return RunOutcome::Removed;
    }
    if (!ParseReceipt(text, receipt)) {
        report.Line("removal: the receipt " + receiptPath + " does not read as one: nothing was changed");
        messages.Tell(kNotRemoved);
        return RunOutcome::Failed;
    }

    bool complete = true;
    // Only the client's own copies, where discovery finds them, are touched.
    for (int i = 0; i < 3; ++i) {
        const std::string& ansiPath = *CopyPaths(run, i);
        const ReceiptCopy* copy = ansiPath.empty() ? nullptr : receipt.FindCopy(AnsiToUtf8(ansiPath));
        if (copy == nullptr) continue;
        std::string why;
        complete = RestoreCopy(ansiPath, *copy, why) && complete;
        report.Line("removal: copy " + copy->path + ": " + why);
    }
    // Files below the client folder that discovery finds, never elsewhere.
    const std::wstring folder = Utf8ToWide(AnsiToUtf8(run.clientFolder));
    int deleted = 0, changed = 0, gone = 0;
    for (const ReceiptFile& file : receipt.files) {
        if (!BelowTheFolder(file.path)) {
            report.Line("removal: " + file.path + " is no path below the client folder: left alone");
            continue;
        }
        const std::wstring path = folder + Utf8ToWide(file.path);
        std::uint64_t size = 0;
        std::uint32_t crc = 0;
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            ++gone;
        } else if (!FileSizeAndCrc(path, size, crc)) {
            report.Line("removal: " + file.path + " could not be read");
            complete = false;
        } else if (size != file.size || crc != file.crc) {
            ++changed;  // not the bytes the installation wrote: someone else's now
        } else if (DeleteFileW(path.c_str())) {
            ++deleted;
        } else {
            report.Line("removal: " + file.path + " could not be deleted");
            complete = false;
        }
    }
    std::vector<std::string> folders = receipt.folders;
    std::stable_sort(folders.begin(), folders.end(),
                     [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
    int removed = 0;
    for (const std::string& made : folders) {
        if (BelowTheFolder(made) && RemoveDirectoryW((folder + Utf8ToWide(made)).c_str())) ++removed;
    }
    report.Line("removal: " + std::to_string(deleted) + " files deleted, " + std::to_string(changed) +
                " changed since and left, " + std::to_string(gone) + " already gone; " + std::to_string(removed) +
                " folders removed");
    if (!complete) {
        report.Line("removal: the receipt " + receiptPath + " is kept for another run");
        messages.Tell(kNotRemoved);
        return RunOutcome::Failed;
    }
    for (const ReceiptCopy& copy : receipt.copies) {
        if (!copy.backup.empty()) RemoveReceiptFile(Utf8ToWide(copy.backup));
    }
    RemoveReceiptFile(name);
    report.Line("removal: the receipt " + receiptPath + " is removed");
    messages.Tell(kRemoved);
    return RunOutcome::Removed;
}
