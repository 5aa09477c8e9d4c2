// A demo installation of the served video-management client, for trying the
// installer in a private Wine prefix: its registry entry, its folders and the
// three copies of its configuration file. Also reports what is there.
//
//   democlient install [--brand=0] [--edition=0] [--location=C:\Program Files\Kestrova]
//                      [--languages=0,2] [--version-type=<brand>] [--product-type=<edition>]
//   democlient report [--installer=<path of the installer>]
//   democlient remove
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

#include <tinyxml2.h>

#include "core/config_document.h"
#include "core/edition_table.h"
#include "test_client.h"
#include "wintest.h"

namespace {

std::map<std::string, std::string> g_options;

std::string Opt(const std::string& name, const std::string& fallback) {
    const auto it = g_options.find(name);
    return it == g_options.end() ? fallback : it->second;
}

std::string ClientKey() { return wintest::ClientKeyPath(); }

const char* kPersisted =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

std::string SystemDrive() {
    char drive[MAX_PATH] = {};
    if (GetEnvironmentVariableA("SYSTEMDRIVE", drive, MAX_PATH) == 0) return "C:";
    return drive;
}

std::string QueryText(HKEY root, const std::string& keyPath, const char* name, bool* found) {
    *found = false;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::string();
    char buffer[1025] = {};
    DWORD size = 1024;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS) {
        *found = true;
        if (type == REG_DWORD) {
            DWORD value = 0;
            memcpy(&value, buffer, sizeof value);
            RegCloseKey(key);
            return std::to_string(value);
        }
    }
    RegCloseKey(key);
    return buffer;
}

int Install() {
    const std::string brand = Opt("brand", "0");
    const std::string edition = Opt("edition", "0");
    if (FindEditionRow(brand, edition) == nullptr) {
        std::printf("democlient: no edition %s/%s\n", brand.c_str(), edition.c_str());
        return 2;
    }
    const std::string location = Opt("location", brand == "1" ? "C:\\Program Files\\Palomind"
                                                               : "C:\\Program Files\\Kestrova");
    wintest::TestClient client(location, SystemDrive(), brand, edition);
    wintest::ClientValues values;
    values.languages = Opt("languages", "0,2");
    values.versionType = Opt("version-type", brand);
    values.productType = Opt("product-type", edition);
    if (!client.Install(values)) {
        std::printf("democlient: cannot install the demo client\n");
        return 1;
    }
    std::printf("demo client installed: HKLM\\%s\n  InstallLocation = %s\n  client folder   = %s\n",
                ClientKey().c_str(), location.c_str(), client.clientFolder.c_str());
    for (const std::string* copy : {&client.reference, &client.install, &client.publicCopy}) {
        std::printf("  configuration   = %s\n", copy->c_str());
    }
    return 0;
}

// Files and bytes below a folder.
void CountBelow(const std::string& folder, unsigned long& files, unsigned long long& bytes) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CountBelow(folder + name + "\\", files, bytes);
        } else {
            ++files;
            bytes += (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) + data.nFileSizeLow;
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

int Report() {
    bool found = false;
    const std::string location = QueryText(HKEY_LOCAL_MACHINE, ClientKey(), "InstallLocation", &found);
    std::printf("client entry: %s\n", found ? ("InstallLocation = " + location).c_str() : "absent");
    if (found) {
        wintest::TestClient client(location, SystemDrive(), Opt("brand", "0"), Opt("edition", "0"));
        for (const char* root : {"client\\translations\\", "server\\translations\\"}) {
            unsigned long files = 0;
            unsigned long long bytes = 0;
            CountBelow(client.clientFolder + root, files, bytes);
            std::printf("extracted below %s%s: %lu files, %llu bytes\n", client.clientFolder.c_str(), root, files,
                        bytes);
        }
        for (const std::string* copy : {&client.publicCopy, &client.install, &client.reference}) {
            tinyxml2::XMLDocument document;
            if (document.LoadFile(copy->c_str()) != tinyxml2::XML_SUCCESS) {
                std::printf("configuration %s: does not load\n", copy->c_str());
                continue;
            }
            std::printf("configuration %s:\n  Languages = %s\n  MultilingualInstallation = %s\n", copy->c_str(),
                        ConfigValue(document, "Languages").c_str(),
                        ConfigValue(document, "MultilingualInstallation").c_str());
        }
    }
    const std::string installer = Opt("installer", "");
    if (!installer.empty()) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kPersisted, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            std::printf("compatibility mark: none (this machine has no Compatibility Assistant key)\n");
        } else {
            RegCloseKey(key);
            const std::string mark = QueryText(HKEY_CURRENT_USER, kPersisted, installer.c_str(), &found);
            std::printf("compatibility mark for %s: %s\n", installer.c_str(), found ? mark.c_str() : "absent");
        }
    }
    std::string productGuid = QueryText(HKEY_CURRENT_USER, ClientKey(), "ProductGuid", &found);
    std::printf("installed marker (HKCU ProductGuid): %s\n", found ? productGuid.c_str() : "absent");
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    for (const char* name : {"setup.rar", "setup.dll", "uninstall.exe", "license.rtf"}) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        const std::string path = std::string(temp) + name;
        if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
            std::printf("working file %s: %lu bytes\n", path.c_str(), static_cast<unsigned long>(data.nFileSizeLow));
        } else {
            std::printf("working file %s: absent\n", path.c_str());
        }
    }
    return 0;
}

int Remove() {
    wintest::DeleteKeyTree(HKEY_LOCAL_MACHINE, ClientKey());
    std::printf("demo client entry removed\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: democlient install|report|remove [--name=value ...]\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) g_options[arg.substr(2, eq - 2)] = arg.substr(eq + 1);
    }
    const std::string command = argv[1];
    if (command == "install") return Install();
    if (command == "report") return Report();
    if (command == "remove") return Remove();
    std::printf("democlient: unknown command %s\n", command.c_str());
    return 2;
}
