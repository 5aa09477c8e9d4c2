#include "test_client.h"

#include "core/edition_table.h"
#include "wintest.h"

namespace wintest {

std::string SetupXml(const ClientValues& v) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Setup>\n"
           "    <Languages>\n        <Value>" + v.languages + "</Value>\n    </Languages>\n"
           "    <VersionType>\n        <Value>" + v.versionType + "</Value>\n    </VersionType>\n"
           "    <ProductType>\n        <Value>" + v.productType + "</Value>\n    </ProductType>\n"
           "    <Translator>\n        <Value>" + v.translator + "</Value>\n    </Translator>\n"
           "    <MultilingualInstallation>\n        <Value>false</Value>\n    </MultilingualInstallation>\n"
           "    <Keep note=\"a &amp; b\">  spaced  </Keep>\n"
           "</Setup>\n";
}

void MakeFoldersFor(const std::string& path) {
    for (std::string::size_type i = 3; i < path.size(); ++i) {
        if (path[i] == '\\' || path[i] == '/') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
}

TestClient::TestClient(const std::string& location_, const std::string& drive_, const std::string& brand_,
                       const std::string& edition_)
    : brand(brand_), edition(edition_), location(location_), drive(drive_) {
    const EditionRow* row = FindEditionRow(brand, edition);
    const char* brands[] = {"Kestrova", "Palomind"};
    const char* editions[] = {"Site", "AC", "VS"};
    if (row == nullptr) return;
    editionRoot = location + row->editionRoot;
    clientFolder = editionRoot + row->clientFolder;
    reference = editionRoot + row->benchmarkFile;
    install = editionRoot + "\\UserData\\Framework.C\\Setup.xml";
    publicCopy = drive + "/Users/Public/" + brands[brand == "1"] + " " + editions[edition[0] - '0'] +
                 "/UserData/Framework.C/Setup.xml";
}

bool TestClient::Register(const std::string& displayVersion, const std::string& installLocation) {
    const std::string key = ClientKeyPath();
    if (!SetValues(HKEY_LOCAL_MACHINE, key,
                   {{"DisplayVersion", displayVersion}, {"InstallLocation", installLocation}})) {
        return false;
    }
    std::string bytes;
    return ReadValue(HKEY_LOCAL_MACHINE, key, "InstallLocation", bytes);  // seen the installer's way
}

bool TestClient::WriteCopy(const std::string& path, const std::string& text) {
    MakeFoldersFor(path);
    return WriteFileBytes(path, text);
}

bool TestClient::Install(const ClientValues& values) {
    if (editionRoot.empty() || !Register("5.2.0", location)) return false;
    const std::string xml = SetupXml(values);
    if (!WriteCopy(reference, xml) || !WriteCopy(install, xml) || !WriteCopy(publicCopy, xml)) return false;
    MakeFoldersFor(clientFolder);
    return true;
}

bool TestClient::Unregister() { return DeleteKeyTree(HKEY_LOCAL_MACHINE, ClientKeyPath()); }

namespace {

std::string SystemDrive() {
    char drive[MAX_PATH] = {};
    GetEnvironmentVariableA("SYSTEMDRIVE", drive, MAX_PATH);
    return drive;
}

}  // namespace

Installation::Installation(const std::string& hint, const std::string& maker, const std::string& brand,
                           const std::string& edition)
    : root(MakeTempFolder(hint)),
      temp(root + "\\temp\\"),
      client(root + "\\Program Files\\" + maker, SystemDrive(), brand, edition) {
    CreateDirectoryA(temp.c_str(), nullptr);
    environment_.Set("TMP", temp);
    environment_.Set("TEMP", temp);
    DeleteFileA(client.publicCopy.c_str());
    TestClient::Unregister();
    DeleteKeyTree(HKEY_CURRENT_USER, ClientKeyPath());
}

Installation::~Installation() {
    SetFileAttributesA(client.install.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(client.publicCopy.c_str());
    TestClient::Unregister();
    DeleteKeyTree(HKEY_CURRENT_USER, ClientKeyPath());
}

}  // namespace wintest
