#include "core/startup_rules.h"

#include <cstring>

#include "core/shared_state.h"

const char* const kUninstallRoot64 = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char* const kUninstallRoot32 = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

bool HasSilentArgument(int argc, const char* const* argv) {
    bool silentMode = false;
    for (int i = 1; i < argc; ++i) {
        if (argv[i] != nullptr && std::strcmp(argv[i], "/silent") == 0) silentMode = true;
    }
    return silentMode;
}

std::string FileNameOfPath(const std::string& path) {
    const std::string::size_type slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ApplicationNameOfPath(const std::string& path) {
    const std::string name = FileNameOfPath(path);
    const std::string::size_type dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string InstanceMutexName(const std::string& exePath) {
    return "Global\\" + FileNameOfPath(exePath);
}

std::string CompleteUninstallKey(bool is64BitSystem, const std::string& storedKey) {
    return std::string(is64BitSystem ? kUninstallRoot64 : kUninstallRoot32) + storedKey;
}

bool NeedsInstallFor(const std::string& productGuid) {
    return productGuid != clientProductCode;
}
