#include "core/receipt.h"

#include <gtest/gtest.h>

namespace {

Receipt Sample() {
    Receipt receipt;
    receipt.version = "1.0.0";
    receipt.brand = "Kestrova";
    receipt.edition = "Site";
    receipt.clientFolder = "C:\\Program Files\\K & \"Q\"\\";
    receipt.languages = "0,2,34";
    receipt.copies = {{"C:\\a\\Setup.xml", "copy-1.xml", "0,2", "false", 1234, 0xDEADBEEF}};
    receipt.files = {{"client\\translations\\\xce\xb1.qm", 5, 0x0000ABCD}};
    receipt.folders = {"client\\translations"};
    return receipt;
}

TEST(Receipt, ReadsBackWhatWasWrittenAndRefusesOtherText) {
    Receipt read;
    ASSERT_TRUE(ParseReceipt(ReceiptText(Sample()), read));
    EXPECT_EQ(ReceiptText(read), ReceiptText(Sample()));
    EXPECT_EQ(read.copies.at(0).writtenCrc, 0xDEADBEEFu);
    EXPECT_EQ(read.files.at(0).crc, 0x0000ABCDu);
    EXPECT_EQ(read.clientFolder, Sample().clientFolder);
    for (const char* other : {"", "<Setup/>", "<QuennelReceipt><File path=\"a\" size=\"x\" crc=\"1\"/></QuennelReceipt>",
                              "<QuennelReceipt><Copy path=\"\" writtenSize=\"1\" writtenCrc=\"1\"/></QuennelReceipt>"}) {
        Receipt untouched = Sample();
        EXPECT_FALSE(ParseReceipt(other, untouched)) << other;
        EXPECT_EQ(ReceiptText(untouched), ReceiptText(Sample())) << other;
    }
}

TEST(Receipt, ALaterInstallationKeepsTheEarliestBeforeAndAddsItsFiles) {
    Receipt later = Sample();
    later.languages = "0,2,34,35";
    later.copies = {{"C:\\a\\Setup.xml", "copy-9.xml", "0,2,34", "true", 99, 7},
                    {"C:\\b\\Setup.xml", "copy-2.xml", "0", "", 5, 6}};
    later.files = {{"client\\translations\\\xce\xb1.qm", 5, 0x0000ABCD}, {"server\\new.qm", 1, 2}};
    const Receipt merged = MergeReceipts(Sample(), later);
    EXPECT_EQ(merged.languages, "0,2,34,35");
    ASSERT_EQ(merged.copies.size(), 2u);
    EXPECT_EQ(merged.copies[0].beforeLanguages, "0,2");
    EXPECT_EQ(merged.copies[0].backup, "copy-1.xml");
    EXPECT_EQ(merged.copies[0].writtenSize, 99u);
    EXPECT_EQ(merged.copies[1].path, "C:\\b\\Setup.xml");
    EXPECT_EQ(merged.files.size(), 2u);
    EXPECT_EQ(merged.folders.size(), 1u);
}

TEST(Receipt, Crc32IsTheUsualOne) {
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32("6789", 4, Crc32("12345", 5)), 0xCBF43926u);
    EXPECT_EQ(Crc32("", 0), 0u);
}

}  // namespace
