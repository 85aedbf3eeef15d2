#include "export/file_rows.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "decode/decoder.h"

namespace vrs {
namespace {

constexpr std::int64_t kReleaseRows = 256;

}  // namespace

void FileRows::decode(std::int64_t y, std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue) {
    const std::uint8_t* src = rows_.rows + y * rows_.stride;
    const auto width = static_cast<std::size_t>(rows_.width);
    if (rows_.depth == 32) {
        decodeRow32(src, rows_.width, red, green, blue);
    } else if (rows_.depth == 16) {
        decodeRow16(src, rows_.width, red, green, blue);
    } else {
        std::memset(red, 0, width);
        std::memset(green, 0, width);
        std::memset(blue, 0, width);
        return;
    }
    releasePassedRows(y);
}

// Once the rows read since the last release span kReleaseRows, their pages
// leave this process (they stay in the page cache and come back on a touch).
void FileRows::releasePassedRows(std::int64_t y) {
    if (touchedLow_ < 0) {
        touchedLow_ = touchedHigh_ = y;
        return;
    }
    touchedLow_ = std::min(touchedLow_, y);
    touchedHigh_ = std::max(touchedHigh_, y);
    if (!release_ || rows_.mapping == nullptr || touchedHigh_ - touchedLow_ < kReleaseRows) {
        return;
    }
    static const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto base = reinterpret_cast<std::uintptr_t>(rows_.mapping);
    const std::uintptr_t end = base + rows_.mappingSize;
    const auto first = reinterpret_cast<std::uintptr_t>(rows_.rows + touchedLow_ * rows_.stride);
    const auto last =
        reinterpret_cast<std::uintptr_t>(rows_.rows + (touchedHigh_ + 1) * rows_.stride);
    const std::uintptr_t from = std::max(base, first & ~(page - 1));
    const std::uintptr_t to = std::min(end, (last + page - 1) & ~(page - 1));
    if (base % page != 0 ||
        (to > from && madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED) != 0)) {
        release_ = false;  // not our own page-aligned mapping: keep everything mapped
    }
    touchedLow_ = touchedHigh_ = y;
}

}  // namespace vrs
