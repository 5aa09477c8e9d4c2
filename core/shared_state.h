// What every run of the installer shares: fixed settings and file names and
// the text catalogue of captions and messages, all read-only.
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
// The build settings, defined by each installer for itself (build_settings.cpp).
extern const std::string brandFlag;            // "0" Kestrova, "1" Palomind
extern const std::string productTypeFlag;      // "0" site, "1" AC, "2" VS

// The values one run fills in live in its InstallRun (core/install_run.h).

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
