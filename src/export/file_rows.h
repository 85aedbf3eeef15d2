// The pixel rows of a mapped virtual-screen file, decoded one at a time with
// the decoder's own row routines. Pages of rows already passed are handed
// back to the kernel, so reading a whole large file keeps only a small window
// of it in the process's memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vrs {

struct PixelRows {
    // The whole file as MappedFile maps it (read-only, private), whose pages
    // may be dropped; null for rows in ordinary memory, which must be kept.
    const std::uint8_t* mapping = nullptr;
    std::size_t mappingSize = 0;
    const std::uint8_t* rows = nullptr;  // the first pixel row, inside the mapping
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t depth = 0;
    std::int64_t stride = 0;
};

class FileRows {
  public:
    // The caller has checked (inspectVirtualScreen) that all rows are there.
    explicit FileRows(const PixelRows& rows) : rows_(rows) {}
    const PixelRows& geometry() const { return rows_; }
    // Decodes row y into three planes of width bytes. A depth other than 16
    // or 32 has no pixels the decoder reads: the row is black.
    void decode(std::int64_t y, std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue);

  private:
    void releasePassedRows(std::int64_t y);

    PixelRows rows_;
    std::int64_t touchedLow_ = -1;
    std::int64_t touchedHigh_ = -1;
    bool release_ = true;
};

}  // namespace vrs
