#include "core/shared_state.h"

const std::string clientProductCode = "5B1E7A20-9C44-4D1F-8E63-2A70C9D41E58";

const std::string archiveFileName = "setup.rar";
const std::string unrarFileName = "setup.dll";
const std::string licenseFileName = "license.rtf";
const std::string ombrixExeName = "Ombrix.exe";
const std::string runtimeSetupName = "vcredist_x86.exe";
const std::string uninstallerFileName = "uninstall.exe";

const std::string txtWizardTitle = "Quennel InstallShield Wizard";
const std::string txtInstallTo = "Install Quennel to";
const std::string txtBack = "<  Back";
const std::string txtLicenseAgreement = "License Agreement";
const std::string txtReadAndAccept = "Read and Accept";
const std::string txtInstallingTitle = "Quennel Installing";
const std::string txtInstallNow = "Install Now";
const std::string txtStartNow = "Start Now";
const std::string msgLoadLibraryFailed = "Loading setup.dll error.";
const std::string msgArchiveOpenFailed = "Opening resource package failed.";
const std::string msgRegistryReadFailed = "Searching related registry information failed.";
const std::string msgLicenseOpenFailed = "Opening license agreement failed.!";
const std::string msgAlreadyRunning = "The setup is already running.";
const std::string txtPrompt = "Prompt";
const std::string txtOk = "OK";
const std::string txtInstalling = "Installing";
const std::string msgOmbrixRunning =
    "Quennel is running. After saving data, click OK or close this window to exit the software "
    "and continue.";
const std::string msgVersionTypeMismatch =
    "Current client version type does not support multilingual installation packages.";
const std::string msgProductTypeMismatch =
    "Current client product type does not support multilingual installation packages.";
const std::string msgLanguageTypeMismatch =
    "Current client language type does not support multilingual installation packages.";
const std::string msgNoLanguage = "Please select at least one language.";
const std::string msgClientNotFound = "No matched client installed on this computer.";
