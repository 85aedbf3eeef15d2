// SPDX-License-Identifier: MIT
// The choices a fuzz target makes besides the file's bytes (a size to ask
// for, the lengths of the pieces fed), drawn from the input itself so that
// each input is replayed exactly: a hash of its bytes seeds a small
// generator.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vrs::fuzz {

class Choices {
  public:
    Choices(const std::uint8_t* data, std::size_t size) {
        std::uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a
        for (std::size_t i = 0; i < size; ++i) {
            hash = (hash ^ data[i]) * 0x100000001b3ULL;
        }
        state_ = hash ^ size;
    }
    // A number from 0 to n - 1 (n > 0).
    std::uint64_t below(std::uint64_t n) { return next() % n; }

  private:
    std::uint64_t next() {  // splitmix64
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    std::uint64_t state_ = 0;
};

// The most pixels a harness asks a plugin for: a host's choice, capped so
// that only an allocation the plugin makes on its own is a finding.
inline constexpr std::int64_t kLargestAskedPixels = std::int64_t{1} << 22;

}  // namespace vrs::fuzz
