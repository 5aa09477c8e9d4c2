#include "app/app.h"

#include "version.h"

#include "app/installation.h"
#include "app/message_boxes.h"
#include "app/removal_road.h"
#include "app/run_report.h"
#include "app/silent_road.h"
#include "app/wizard_road.h"
#include "core/command_line.h"
#include "core/install_run.h"
#include "core/language_catalogue.h"
#include "core/shared_state.h"
#include "core/startup_rules.h"
#include "framework/controls.h"
#include "system/instance.h"
#include "system/run_log.h"
#include "system/window_station.h"

#include <commctrl.h>

namespace {

Road RoadOf(const CommandLine& line) {
    if (line.uninstall) return Road::Uninstall;
    if (line.check) return Road::Check;
    if (line.quiet) return Road::Quiet;
    return line.silent ? Road::Silent : Road::Wizard;
}

RunOutcome Run(const CommandLine& line, Road road, RunReport& report);

}  // namespace

int RunInstaller() {
    const std::string commandLine = CommandLineUtf8();
    CommandLine line = ParseCommandLine(SplitCommandLine(commandLine));
    Road road = RoadOf(line);
    // Where no one can answer (a deployment tool running the setup as
    // SYSTEM, say), nothing waits for an answer: every box is only logged,
    // "/silent" runs as "/quiet", and the wizard is not shown at all.
    const bool nobody = !SomeoneCanAnswer();
    if (nobody) {
        if (road == Road::Silent) road = Road::Quiet;
        line.quiet = true;
    }
    // Nobody may be asked: no system box for a drive that is not ready or a
    // file that cannot be opened, and no crash dialog holding up the
    // deployment tool (the crash ends the process with its status).
    if (line.Unattended()) SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);

    // A log that cannot be opened stops nothing.
    RunLog log;
    log.Open(line.logPath);
    RunReport report(log);
    report.Line("start: Quennel Language Pack " QUENNEL_VERSION_TEXT ", brand " QUENNEL_BRAND_NAME
                ", edition " QUENNEL_EDITION_NAME ", command line: " +
                commandLine);
    for (const std::string& ignored : line.unknownSwitches) {
        report.Line("command line: " + ignored + " is no switch of this setup: ignored");
    }
    if (nobody) report.Line("session: the window station is not interactive: no box or window is shown");

    const RunOutcome outcome = nobody && road == Road::Wizard && !line.help && line.error.empty()
                                   ? RunOutcome::NobodyToAnswer
                                   : Run(line, road, report);
    const int status = ExitStatus(outcome, road);
    report.End(DescribeOutcome(outcome), status);
    return status;
}

namespace {

RunOutcome Run(const CommandLine& line, Road road, RunReport& report) {
    const bool unattended = line.Unattended();
    MessageBoxes boxes(report, !unattended);

    if (line.help) {
        boxes.Show(UsageText(), ApplicationNameOfPath(ModulePath()), MB_OK | MB_ICONINFORMATION);
        return RunOutcome::HelpShown;
    }
    if (!line.error.empty()) {
        boxes.Tell("The command line is not valid: " + line.error +
                   ". Nothing was installed. Run the setup with /? to see the switches it accepts.");
        return RunOutcome::BadCommandLine;
    }

    // Held until the run has ended.
    const ScopedHandle instance = ClaimSingleInstance();
    if (!instance) {
        // No owner window and a caption of its own: no page exists yet.
        boxes.Show(msgAlreadyRunning, txtPrompt, MB_OK | MB_ICONWARNING);
        return RunOutcome::AlreadyRunning;
    }

    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof controls;  // 8
    controls.dwICC = ICC_WIN95_CLASSES;  // 0xFF
    InitCommonControlsEx(&controls);

    // The check changes nothing, not even the compatibility mark; the
    // removal leaves nothing of its own behind.
    if (road != Road::Check && road != Road::Uninstall) WriteCompatibilityMark();

    // A running sibling tool is stopped after the user is told; "/quiet"
    // stops it only when told to, since nobody could save their work.
    // Every running instance is stopped: one left running would hold the
    // files the installation replaces.
    if (road != Road::Check) {
        const std::vector<DWORD> tools = FindProcessesByName(ombrixExeName);
        if (!tools.empty()) {
            std::string ids;
            for (DWORD tool : tools) ids += (ids.empty() ? "" : ", ") + std::to_string(tool);
            const std::string running =
                "tool: " + ombrixExeName + " is running (" +
                (tools.size() == 1 ? "process " + ids : std::to_string(tools.size()) + " instances: processes " + ids) +
                ")";
            if (line.quiet && !line.forceClose) {
                report.Line(running + "; not stopped without /forcecloseapplications");
                return RunOutcome::ToolRunning;
            }
            boxes.Tell(msgOmbrixRunning);
            std::size_t stopped = 0;
            for (DWORD tool : tools) stopped += StopProcess(tool) ? 1 : 0;
            report.Line(running + "; stopped " + std::to_string(stopped) + " of " + std::to_string(tools.size()));
        }
    }

    // The rich-edit libraries (and what they load: OLE automation, the
    // script library) wait for the licence page, which most runs never open.
    SkinButton::Register();

    InstallRun run;
    run.version = QUENNEL_VERSION_TEXT;
    run.brandName = QUENNEL_BRAND_NAME;
    run.editionName = QUENNEL_EDITION_NAME;
    if (line.languagesGiven) {
        run.presetCodes = BuildSelectedCodes(line.languageFlags);
        run.addToClientList = line.addLanguages;
        // The check looks for exactly the chosen codes.
        if (road == Road::Check) {
            for (int i = 0; i < kLanguageCount; ++i) run.selectionFlags[i] = line.languageFlags[i];
        }
    }
    Installation installation(run, boxes, report);
    switch (road) {
        case Road::Check: return RunCheckRoad(installation, run, boxes, report);
        case Road::Silent:
        case Road::Quiet: return RunSilentRoad(installation, run, boxes, report);
        case Road::Uninstall: return RunRemovalRoad(installation, run, boxes, report);
        case Road::Wizard: break;
    }
    return RunWizardRoad(installation, run, boxes, report);
}

}  // namespace
