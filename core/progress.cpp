#include "core/progress.h"

#include <limits>

std::int32_t ProgressPercentFor(std::int64_t processed, std::int64_t total) {
    if (total <= 0) return 0;
    if (processed <= 0) return 0;
    // processed × 100 ÷ total, computed without overflowing 64 bits.
    const std::int64_t whole = processed / total;
    if (whole >= std::numeric_limits<std::int32_t>::max() / 100) return std::numeric_limits<std::int32_t>::max();
    const std::int64_t rest = processed % total;
    const std::int64_t part = rest <= std::numeric_limits<std::int64_t>::max() / 100
                                  ? rest * 100 / total
                                  : static_cast<std::int64_t>(static_cast<long double>(rest) * 100 / total);
    const std::int64_t percent = whole * 100 + part;
    return static_cast<std::int32_t>(percent);
}

std::int32_t ReportBlock(std::int64_t& processed, std::int64_t total, std::uint32_t blockSize,
                         bool& completionDue) {
    processed += blockSize;
    const std::int32_t percent = ProgressPercentFor(processed, total);
    if (percent >= 100) completionDue = true;
    return percent;
}
