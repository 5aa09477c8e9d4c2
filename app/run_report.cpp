#include "app/run_report.h"

#include "core/shared_state.h"
#include "app/receipt_keeper.h"
#include "system/working_files.h"

namespace {

const char* const kCopyNames[3] = {"public", "install", "reference"};

// " written (N bytes)", or why the file was not used.
std::string DescribeWorkingFile(const HeldWorkingFile& file) {
    const std::string bytes = std::to_string(file.Bytes()) + " bytes";
    switch (file.State()) {
        case WorkingFile::Written: return " written (" + bytes + ")";
        case WorkingFile::Verified:
            return " could not be written; the file there holds the installer's own " + bytes + ": used";
        case WorkingFile::Foreign:
            return " could not be written, and the file there is not the installer's own (or is held by another "
                   "process): not used";
        case WorkingFile::Changed: return " written, but changed before it could be held: not used";
        case WorkingFile::NotPrepared: break;
    }
    return " not written (not needed)";
}

}  // namespace

void RunReport::Client(const InstallRun& run) {
    Line("client: key ", "HKEY_LOCAL_MACHINE\\" + run.clientUninstallKey);
    // What the check did not get as far as finding stays out.
    if (!run.clientFolder.empty()) Line("client: folder ", run.clientFolder);
    if (!run.benchmarkSetupPath.empty()) Line("client: reference copy ", run.benchmarkSetupPath);
    if (!run.publicSetupPath.empty()) Line("client: public copy ", run.publicSetupPath);
    if (!run.installSetupPath.empty()) Line("client: install copy ", run.installSetupPath);
}

void RunReport::Verdict(const std::string& failure) {
    if (failure.empty()) {
        Line("check: the client qualifies");
    } else {
        Line("check: ", failure);
    }
}


void RunReport::Extraction(const ExtractionJob& job) {
    const std::string temp = TempFolder();
    Line("working file: ", temp + archiveFileName + DescribeWorkingFile(job.archiveFile));
    Line("working file: ", temp + uninstallerFileName +
                               (job.uninstallerFileBytes >= 0
                                    ? " written (" + std::to_string(job.uninstallerFileBytes) + " bytes)"
                                    : std::string(" could not be written")));
    Line("working file: ", temp + unrarFileName + DescribeWorkingFile(job.libraryFile));
    Line("counted: " + std::to_string(job.totalUnpackedSize) + " bytes in " + std::to_string(job.countedEntries) +
         " entries" + (job.countedWhole ? "" : " (the archive could not be read to its end)"));
    Line("extraction: " + ExtractionSummary(job));
}

void RunReport::Copies(const InstallRun& run) {
    Line("languages: " + run.selectedCodes);
    for (int i = 0; i < 3; ++i) {
        const std::string& path = *CopyPaths(run, i);
        Line("copy: ", (path.empty() ? std::string("(") + kCopyNames[i] + " copy, no path)" : path) + ": " +
                           DescribeCopyUpdate(run.copyUpdates[i]));
    }
}

void RunReport::CopyChecked(const std::string& path, CopyCheck check) {
    switch (check) {
        case CopyCheck::Missing: Line("check: copy ", path + " does not exist"); break;
        case CopyCheck::Unreadable: Line("check: copy ", path + " could not be read"); break;
        case CopyCheck::NotLoadable: Line("check: copy ", path + " does not load, left out"); break;
        case CopyCheck::NoLanguageList: Line("check: copy ", path + " has no language list, left out"); break;
        case CopyCheck::Lists: Line("check: copy ", path + " lists the languages"); break;
        case CopyCheck::Lacks: Line("check: copy ", path + " does not list the languages yet"); break;
    }
}

void RunReport::End(const std::string& outcome, int exitStatus) {
    Line("end: " + outcome + ", exit code " + std::to_string(exitStatus));
}
