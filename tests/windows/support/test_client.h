// A served client laid out for a test or a demo: its registry entry, its
// edition folders and the three copies of its configuration file.
#pragma once

#include <string>

#include "wintest.h"

namespace wintest {

struct ClientValues {
    std::string languages = "0,2";
    std::string versionType = "0";
    std::string productType = "0";
    std::string translator = "0";
};

// A configuration file of the client's format with these values.
std::string SetupXml(const ClientValues& values);

// Creates every missing folder of a file's path.
void MakeFoldersFor(const std::string& path);

class TestClient {
public:
    // location: the client's InstallLocation; drive: the SYSTEMDRIVE below
    // which the public copy lives; brand and edition as the build settings.
    TestClient(const std::string& location, const std::string& drive, const std::string& brand = "0",
               const std::string& edition = "0");

    // Registers the client and writes the three copies. False on failure.
    bool Install(const ClientValues& values = ClientValues());
    bool Register(const std::string& displayVersion, const std::string& installLocation);
    bool WriteCopy(const std::string& path, const std::string& text);
    static bool Unregister();

    std::string brand, edition;
    std::string location, drive;
    std::string editionRoot, clientFolder;
    std::string reference, install, publicCopy;
};

// A test's own ground for an installation: a fresh folder, a temporary folder
// in it that this process and the programs it starts use (TMP, TEMP), and a
// client laid out below it (not yet installed). Wine gives every new process
// the system's SYSTEMDRIVE, so the client's public copy lives in the prefix's
// public users folder; it goes, with the registry entries, when this does.
class Installation {
public:
    Installation(const std::string& hint, const std::string& maker = "Kestrova", const std::string& brand = "0",
                 const std::string& edition = "0");
    ~Installation();
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    std::string root;
    std::string temp;  // with its trailing backslash
    TestClient client;

private:
    ScopedEnvironment environment_;
};

}  // namespace wintest
