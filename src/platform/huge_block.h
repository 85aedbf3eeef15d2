// SPDX-License-Identifier: MIT
// Anonymous memory for large buffers that are written whole: zeroed, backed
// where it is first touched, and, from half a huge page up, made of whole
// 2 MiB pages that start on a 2 MiB boundary and ask the kernel for huge
// pages. A fresh huge page then costs one fault instead of 512, which on
// some machines (virtual ones above all) is most of the cost of new memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vrs {

class HugeBlock {
  public:
    HugeBlock() = default;
    HugeBlock(const HugeBlock&) = delete;
    HugeBlock& operator=(const HugeBlock&) = delete;
    HugeBlock(HugeBlock&& other) noexcept;
    HugeBlock& operator=(HugeBlock&& other) noexcept;
    ~HugeBlock();

    // At least `size` bytes, or an empty block when the memory cannot be had.
    static HugeBlock make(std::size_t size);

    std::uint8_t* data() const { return data_; }
    // The bytes mapped: `size` rounded up to whole huge pages where they are used.
    std::size_t size() const { return size_; }
    bool empty() const { return data_ == nullptr; }

  private:
    void reset();
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace vrs
