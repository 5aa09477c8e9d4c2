#include "core/progress.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

TEST(Progress, PercentIsTruncatedAndReachesHundredOnlyAtTheTotal) {
    EXPECT_EQ(ProgressPercentFor(0, 152955533), 0);
    EXPECT_EQ(ProgressPercentFor(152955532, 152955533), 99);
    EXPECT_EQ(ProgressPercentFor(152955533, 152955533), 100);
    EXPECT_EQ(ProgressPercentFor(1529555, 152955533), 0);
    EXPECT_EQ(ProgressPercentFor(1529556, 152955533), 1);
    EXPECT_EQ(ProgressPercentFor(1, 1), 100);
    EXPECT_EQ(ProgressPercentFor(3, 2), 150);
}

TEST(Progress, UnknownTotalNeverDividesAndNeverCompletes) {
    EXPECT_EQ(ProgressPercentFor(100, 0), 0);
    EXPECT_EQ(ProgressPercentFor(100, -5), 0);
    std::int64_t processed = 0;
    bool due = false;
    EXPECT_EQ(ReportBlock(processed, 0, 4096, due), 0);
    EXPECT_EQ(processed, 4096);
    EXPECT_FALSE(due);
}

TEST(Progress, HugeCountsDoNotOverflow) {
    const std::int64_t big = 4000000000000000000;  // × 100 does not fit 64 bits
    EXPECT_EQ(ProgressPercentFor(big, big), 100);
    EXPECT_EQ(ProgressPercentFor(big - big / 100, big), 99);
    EXPECT_EQ(ProgressPercentFor(big / 2, big), 50);
    EXPECT_EQ(ProgressPercentFor(big, 1), std::numeric_limits<std::int32_t>::max());
}

TEST(Progress, BlocksRiseMonotonicallyAndCompleteOnceAtTheLastByte) {
    const std::int64_t total = 10 * 65536 + 123;
    std::int64_t processed = 0;
    bool due = false;
    std::int32_t previous = 0;
    int dueAt = -1;
    for (int block = 0; processed < total; ++block) {
        const std::uint32_t size = static_cast<std::uint32_t>(std::min<std::int64_t>(65536, total - processed));
        const std::int32_t percent = ReportBlock(processed, total, size, due);
        EXPECT_GE(percent, previous);
        previous = percent;
        if (due && dueAt < 0) dueAt = block;
        if (processed < total) {
            EXPECT_LT(percent, 100);
            EXPECT_FALSE(due);
        }
    }
    EXPECT_EQ(previous, 100);
    EXPECT_EQ(dueAt, 10);  // the eleventh block carries the last byte
}

}  // namespace
