#include "core/startup_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool Silent(std::vector<const char*> args) {
    return HasSilentArgument(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, SilentAnywhereAfterTheProgramName) {
    EXPECT_FALSE(Silent({"Quennel.exe"}));
    EXPECT_TRUE(Silent({"Quennel.exe", "/silent"}));
    EXPECT_TRUE(Silent({"Quennel.exe", "x", "/silent", "y"}));
    EXPECT_TRUE(Silent({"Quennel.exe", "/silent", "/silent"}));
    EXPECT_TRUE(Silent({"Quennel.exe", "other", "/SILENT", "/silent"}));
}

TEST(CommandLine, OnlyTheExactArgumentCounts) {
    EXPECT_FALSE(Silent({"/silent"}));  // the program itself is never an argument
    EXPECT_FALSE(Silent({"Quennel.exe", "/SILENT"}));
    EXPECT_FALSE(Silent({"Quennel.exe", "-silent"}));
    EXPECT_FALSE(Silent({"Quennel.exe", "/silent "}));
    EXPECT_FALSE(Silent({"Quennel.exe", "silent"}));
    EXPECT_FALSE(Silent({"Quennel.exe", "/silently"}));
    EXPECT_FALSE(Silent({"Quennel.exe", ""}));
}

TEST(ExecutableNames, FileNameAndApplicationName) {
    EXPECT_EQ(FileNameOfPath("C:\\Users\\me\\Downloads\\Quennel.exe"), "Quennel.exe");
    EXPECT_EQ(FileNameOfPath("Quennel.exe"), "Quennel.exe");
    EXPECT_EQ(FileNameOfPath("C:\\dir\\"), "");
    EXPECT_EQ(ApplicationNameOfPath("C:\\Users\\me\\Quennel.exe"), "Quennel");
    EXPECT_EQ(ApplicationNameOfPath("C:\\v1.2\\setup.lang.exe"), "setup.lang");
    EXPECT_EQ(ApplicationNameOfPath("C:\\v1.2\\setup"), "setup");
    EXPECT_EQ(ApplicationNameOfPath("Quennel copy.EXE"), "Quennel copy");
}

TEST(ExecutableNames, MutexIsGlobalAndKeepsTheExtensionAndCase) {
    EXPECT_EQ(InstanceMutexName("C:\\Program Files\\Quennel.exe"), "Global\\Quennel.exe");
    EXPECT_EQ(InstanceMutexName("D:\\x\\quennel.EXE"), "Global\\quennel.EXE");
    EXPECT_EQ(InstanceMutexName("Quennel.exe"), "Global\\Quennel.exe");
}

TEST(UninstallKey, JoinedDirectlyToTheSystemsRoot) {
    const std::string stored = "\\{5B1E7A20-9C44-4D1F-8E63-2A70C9D41E58}";
    EXPECT_EQ(CompleteUninstallKey(true, stored),
              "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
              "\\{5B1E7A20-9C44-4D1F-8E63-2A70C9D41E58}");
    EXPECT_EQ(CompleteUninstallKey(false, stored),
              "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
              "\\{5B1E7A20-9C44-4D1F-8E63-2A70C9D41E58}");
}

TEST(InstalledMarker, ExactProductCodeOnly) {
    EXPECT_FALSE(NeedsInstallFor("5B1E7A20-9C44-4D1F-8E63-2A70C9D41E58"));
    EXPECT_TRUE(NeedsInstallFor(""));
    EXPECT_TRUE(NeedsInstallFor("{5B1E7A20-9C44-4D1F-8E63-2A70C9D41E58}"));
    EXPECT_TRUE(NeedsInstallFor("5b1e7a20-9c44-4d1f-8e63-2a70c9d41e58"));
    EXPECT_TRUE(NeedsInstallFor("5B1E7A20-9C44-4D1F-8E63-2A70C9D41E58 "));
    EXPECT_TRUE(NeedsInstallFor("5B1E7A20-9C44-4D1F-8E63-2A70C9D41E5"));
}

}  // namespace
