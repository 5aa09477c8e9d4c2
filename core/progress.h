// Progress arithmetic of the extraction: unpacked bytes reported so far
// against the total the counting pass found.
#pragma once

#include <cstdint>

// (processed × 100) ÷ total, truncated toward zero. 0 while the total is
// unknown (0 or negative), so an uncounted archive never reads as complete.
std::int32_t ProgressPercentFor(std::int64_t processed, std::int64_t total);

// Adds one block of unpacked data and returns the new percentage. Sets
// completionDue the first time the percentage reaches 100; the completion
// step runs once the entry that holds the block has been written.
std::int32_t ReportBlock(std::int64_t& processed, std::int64_t total, std::uint32_t blockSize,
                         bool& completionDue);
