// Process-wide shared state of the installer: fixed settings and file names,
// the values a run fills in, and the text catalogue of captions and messages.
// Every member exists, with its initial value, from before start-up until the
// process ends. No member is guarded by a lock: the order of events keeps the
// user-interface thread and the extraction worker apart.
#pragma once

#include <cstdint>
#include <string>

constexpr int kLanguageCount = 33;

// Product code of the served client, without braces.
extern const std::string clientProductCode;

// Fixed settings and file names.
extern const std::string archiveFileName;      // "setup.rar"
extern const std::string unrarFileName;        // "setup.dll"
extern const std::string licenseFileName;      // "license.rtf"
extern const std::string ombrixExeName;        // "Ombrix.exe"
extern const std::string runtimeSetupName;     // "vcredist_x86.exe"
extern const std::string uninstallerFileName;  // "uninstall.exe"
extern const std::string brandFlag;            // "0" Kestrova, "1" Palomind
extern const std::string productTypeFlag;      // "0" site, "1" AC, "2" VS

// Values filled in during the run.
extern std::string clientUninstallKey;
extern std::string installConfirmed;
extern std::string clientFolder;
extern std::string benchmarkSetupPath;
extern std::string publicSetupPath;
extern std::string installSetupPath;
extern std::string installPath;
extern std::string ombrixExePath;
extern std::string runtimeSetupPath;
extern int selectionFlags[kLanguageCount];
extern std::string selectedCodes;
extern std::int32_t runtimeMissing;
extern std::int64_t processedBytes;
extern std::int32_t progressPercent;

// Text catalogue, in declaration order. Read-only.
extern const std::string txtWizardTitle;
extern const std::string txtInstallTo;
extern const std::string txtBack;
extern const std::string txtLicenseAgreement;
extern const std::string txtReadAndAccept;
extern const std::string txtInstallingTitle;
extern const std::string txtInstallNow;
extern const std::string txtStartNow;
extern const std::string msgLoadLibraryFailed;
extern const std::string msgArchiveOpenFailed;
extern const std::string msgRegistryReadFailed;
extern const std::string msgLicenseOpenFailed;
extern const std::string msgAlreadyRunning;
extern const std::string txtPrompt;
extern const std::string txtOk;
extern const std::string txtInstalling;
extern const std::string msgOmbrixRunning;
extern const std::string msgVersionTypeMismatch;
extern const std::string msgProductTypeMismatch;
extern const std::string msgLanguageTypeMismatch;
extern const std::string msgNoLanguage;
extern const std::string msgClientNotFound;
