// SPDX-License-Identifier: MIT
// What the encoders write their bytes to. A stream remembers its first
// failure; once failed, every later call fails too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vrs {

class OutputStream {
  public:
    virtual ~OutputStream() = default;
    virtual bool write(const void* data, std::size_t size) = 0;
    // Moves the write position (libtiff goes back to patch its header).
    virtual bool seek(std::uint64_t position) = 0;
    virtual std::uint64_t position() const = 0;
    // The length written so far: the end of the furthest write.
    virtual std::uint64_t size() const = 0;
    virtual bool failed() const = 0;
};

// A stream into memory, for tests and small pictures.
class MemoryStream final : public OutputStream {
  public:
    bool write(const void* data, std::size_t size) override;
    bool seek(std::uint64_t position) override;
    std::uint64_t position() const override { return position_; }
    std::uint64_t size() const override { return bytes_.size(); }
    bool failed() const override { return failed_; }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
    std::uint64_t position_ = 0;
    bool failed_ = false;
};

}  // namespace vrs
