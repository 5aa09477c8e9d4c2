// The receipt of the installations on this machine (core/receipt.h), kept
// up to date by the completion step and acted on by the removal.
#pragma once

#include <string>

#include "core/install_run.h"
#include "core/receipt.h"
#include "system/extraction.h"

// The receipt's file name in the receipts' folder, for this installer's
// brand and edition: "Quennel-Kestrova-Site.xml".
std::wstring ReceiptName(const InstallRun& run);

class ReceiptKeeper {
public:
    explicit ReceiptKeeper(const InstallRun& run);

    // Before the copies are rewritten: the bytes of each copy no earlier
    // installation recorded are kept beside the receipt, and the receipt is
    // saved as it will stand, so that an installation cut short still leaves
    // a way back.
    void BeforeCopies(const InstallRun& run, const ExtractionJob& job);
    // Afterwards: what was written into each copy; the receipt saved again.
    // False when it could not be saved.
    bool AfterCopies(const InstallRun& run, const ExtractionJob& job);

    std::string PathForLog() const;

private:
    Receipt Current(const InstallRun& run, const ExtractionJob& job) const;

    std::wstring m_name;
    Receipt m_earlier;
    Receipt m_pending;  // this installation's copies (the earlier ones' too when rewritten)
};

// The three configuration copies in the run's order (public, install, reference).
const std::string* CopyPaths(const InstallRun& run, int index);
