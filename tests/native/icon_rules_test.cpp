#include "core/icon_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(GreyCopy, LuminanceInItsOrderTruncated) {
    EXPECT_EQ(GreyLevel(255, 255, 255), 255);
    EXPECT_EQ(GreyLevel(250, 49, 56), 109);  // 28.763 + 74.75 + 6.384 = 109.897
    EXPECT_EQ(GreyLevel(255, 50, 57), 112);
    EXPECT_EQ(GreyLevel(0x66, 0x66, 0x66), 0x66 - 1);  // 101.99999... truncates to 101
    EXPECT_EQ(GreyLevel(1, 0, 0), 0);
    EXPECT_EQ(GreyLevel(0, 0, 9), 1);
}

TEST(GreyCopy, BlackStaysBlackOtherColoursTurnGrey) {
    std::vector<std::uint32_t> colours{0x000000, 0xFFFFFF, 0x3831FA /* RGB(250,49,56) */, 0x000001, 0x010000};
    GreyPixels(colours);
    EXPECT_EQ(colours[0], 0x000000u);
    EXPECT_EQ(colours[1], 0xFFFFFFu);
    EXPECT_EQ(colours[2], 0x6D6D6Du);  // 109
    EXPECT_EQ(colours[3], 0x000000u);  // not black, but its grey is 0
    EXPECT_EQ(colours[4], 0x000000u);
    std::vector<std::uint32_t> allBlack(16 * 16, 0);
    GreyPixels(allBlack);
    EXPECT_EQ(allBlack, std::vector<std::uint32_t>(16 * 16, 0));
}

TEST(IconPlace, CentredAndMovedWhilePressed) {
    EXPECT_EQ(PlaceIcon(0, 0, 26, 23, 16, 16, false).left, 5);
    EXPECT_EQ(PlaceIcon(0, 0, 26, 23, 16, 16, false).top, 3);
    EXPECT_EQ(PlaceIcon(0, 0, 26, 23, 16, 16, true).left, 6);
    EXPECT_EQ(PlaceIcon(0, 0, 26, 23, 16, 16, true).top, 4);
    EXPECT_EQ(PlaceIcon(10, 20, 40, 44, 24, 24, false).left, 13);
    EXPECT_EQ(PlaceIcon(10, 20, 40, 44, 24, 24, false).top, 20);
    // An icon larger than the button: the halving truncates toward zero.
    EXPECT_EQ(PlaceIcon(0, 0, 10, 10, 13, 13, false).left, -1);
}

}  // namespace
