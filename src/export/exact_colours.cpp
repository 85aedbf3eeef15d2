// SPDX-License-Identifier: MIT
#include "export/exact_colours.h"

namespace vrs {

bool ExactColours::note(std::uint32_t key) {
    if (!exact_) {
        return false;
    }
    const std::size_t slot = slotOf(key);
    if (keys_[slot] == key) {
        return true;
    }
    if (colours_.size() == kMaxColours) {
        exact_ = false;
        return false;
    }
    keys_[slot] = key;
    index_[slot] = static_cast<std::uint8_t>(colours_.size());
    colours_.push_back({static_cast<std::uint8_t>(key >> 16), static_cast<std::uint8_t>(key >> 8),
                        static_cast<std::uint8_t>(key)});
    return true;
}

bool ExactColours::addRow(const RgbRow& row, std::int64_t width) {
    std::uint32_t last = kEmpty;
    for (std::int64_t x = 0; x < width && exact_; ++x) {
        const std::uint32_t key = keyOf(row.red[x], row.green[x], row.blue[x]);
        if (key != last) {
            last = key;
            note(key);
        }
    }
    return exact_;
}

void ExactColours::mapRow(const RgbRow& row, std::int64_t width, std::uint8_t* out) const {
    std::uint32_t last = kEmpty;
    std::uint8_t index = 0;
    for (std::int64_t x = 0; x < width; ++x) {
        const std::uint32_t key = keyOf(row.red[x], row.green[x], row.blue[x]);
        if (key != last) {
            last = key;
            index = indexOf(key);
        }
        out[x] = index;
    }
}

}  // namespace vrs
