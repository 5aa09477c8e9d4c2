// What the program writes into the run's log ("/log="): one line per step,
// the outcome last. Without a log nothing is written.
#pragma once

#include <string>

#include "core/install_run.h"
#include "system/config_update.h"
#include "system/extraction.h"
#include "system/run_log.h"

class RunReport {
public:
    explicit RunReport(RunLog& log) : m_log(log) {}

    // A line of UTF-8 text.
    void Line(const std::string& text) { m_log.Line(text); }
    // A line whose end is in the system's ANSI code page (paths, messages).
    void Line(const std::string& prefix, const std::string& ansiText) { m_log.Line(prefix + AnsiToUtf8(ansiText)); }

    // The client found: its key, folder and configuration copies.
    void Client(const InstallRun& run);
    // The client check's verdict: why the client does not qualify, or
    // nothing when it does.
    void Verdict(const std::string& failure);
    // The working files, the counting pass's total and the extraction's end.
    void Extraction(const ExtractionJob& job);
    // What became of each configuration copy at completion.
    void Copies(const InstallRun& run);
    void CopyChecked(const std::string& path, CopyCheck check);
    // The last line: the outcome and the exit status.
    void End(const std::string& outcome, int exitStatus);

private:
    RunLog& m_log;
};
