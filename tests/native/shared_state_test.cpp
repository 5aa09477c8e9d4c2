#include "core/install_run.h"
#include "core/shared_state.h"

#include <gtest/gtest.h>

namespace {

TEST(SharedState, ANewRunIsARunThatHasDoneNothing) {
    const InstallRun run;
    EXPECT_EQ(run.clientUninstallKey, "\\{5B1E7A20-9C44-4D1F-8E63-2A70C9D41E58}");
    EXPECT_EQ(run.clientUninstallKey.substr(2, 36), clientProductCode);
    for (int flag : run.selectionFlags) EXPECT_EQ(flag, 1);
    EXPECT_TRUE(run.runtimeMissing);
    EXPECT_EQ(run.processedBytes, 0);
    EXPECT_EQ(run.progressPercent, 0);
    for (const std::string* value : {&run.clientFolder, &run.benchmarkSetupPath,
                                     &run.publicSetupPath, &run.installSetupPath, &run.installPath,
                                     &run.ombrixExePath, &run.runtimeSetupPath, &run.selectedCodes}) {
        EXPECT_TRUE(value->empty());
    }
}

TEST(SharedState, BuildSettingsAreSingleDigitsOfTheEditionTable) {
    ASSERT_EQ(brandFlag.size(), 1u);
    ASSERT_EQ(productTypeFlag.size(), 1u);
    EXPECT_NE(std::string("01").find(brandFlag), std::string::npos);
    EXPECT_NE(std::string("012").find(productTypeFlag), std::string::npos);
}

TEST(TextCatalogue, WorkingFileNamesAreTheOnesTheFolderHolds) {
    // The engine and the pages open these names in the temporary folder.
    EXPECT_EQ(archiveFileName, "setup.rar");
    EXPECT_EQ(unrarFileName, "setup.dll");
    EXPECT_EQ(licenseFileName, "license.rtf");
    EXPECT_EQ(uninstallerFileName, "uninstall.exe");
    // The library-load message names the library file.
    EXPECT_NE(msgLoadLibraryFailed.find(unrarFileName), std::string::npos);
}

TEST(TextCatalogue, SpacingAndPunctuationAreKept) {
    EXPECT_EQ(txtBack, "<  Back");
    EXPECT_EQ(msgLicenseOpenFailed.substr(msgLicenseOpenFailed.size() - 2), ".!");
    EXPECT_EQ(msgOmbrixRunning.size(), 103u);
    for (const std::string* message : {&msgVersionTypeMismatch, &msgProductTypeMismatch, &msgLanguageTypeMismatch}) {
        EXPECT_EQ(message->rfind("Current client ", 0), 0u);
        EXPECT_EQ(message->substr(message->size() - 52), "does not support multilingual installation packages.");
    }
}

}  // namespace
