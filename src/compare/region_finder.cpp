// SPDX-License-Identifier: MIT
#include "compare/region_finder.h"

#include <algorithm>

namespace vrs {
namespace {

// Columns in a band of the retired regions' index, at least; the index has
// at most kMostBands bands, however wide the picture.
constexpr std::int64_t kBandWidth = 64;
constexpr std::int64_t kMostBands = 4096;

bool near(const PixelBox& a, const PixelBox& b) {
    return a.x0 < b.x1 + kRegionGap && b.x0 < a.x1 + kRegionGap && a.y0 < b.y1 + kRegionGap &&
           b.y0 < a.y1 + kRegionGap;
}

PixelBox unite(const PixelBox& a, const PixelBox& b) {
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

std::int64_t area(const PixelBox& b) {
    return b.width() * b.height();
}

}  // namespace

RegionFinder::RegionFinder(std::int64_t width)
    : width_(std::max<std::int64_t>(width, 1)),
      bandWidth_(std::max(kBandWidth, (width_ + kMostBands - 1) / kMostBands)),
      bands_(static_cast<std::size_t>((width_ + bandWidth_ - 1) / bandWidth_)) {}

void RegionFinder::addRow(std::int64_t y, const PixelRun* runs, std::size_t count) {
    retireBefore(y);
    for (std::size_t i = 0; i < count; ++i) {
        settle({runs[i].x0, y, runs[i].x1, y + 1});
    }
}

// Regions that no pixel of row y or later can come near.
void RegionFinder::retireBefore(std::int64_t y) {
    for (auto it = open_.begin(); it != open_.end();) {
        if (y >= it->second.y1 + kRegionGap) {
            retire(it->second);
            it = open_.erase(it);
        } else {
            ++it;
        }
    }
}

void RegionFinder::retire(const PixelBox& box) {
    const auto index = static_cast<std::uint32_t>(retired_.size());
    retired_.push_back({box, true});
    ++alive_;
    const std::int64_t first = std::max<std::int64_t>(box.x0 - kRegionGap, 0) / bandWidth_;
    const std::int64_t last =
        (std::min(box.x1 + kRegionGap, width_) - 1) / bandWidth_;  // inclusive
    for (std::int64_t b = first; b <= last; ++b) {
        bands_[static_cast<std::size_t>(b)].push_back(index);
    }
}

// The leftmost open region that may be near `box`: open regions lie side by
// side, so only the last one starting left of it can reach it from there.
RegionFinder::Open::iterator RegionFinder::firstOpenNear(const PixelBox& box) {
    auto it = open_.upper_bound(box.x0);
    if (it != open_.begin() && near(std::prev(it)->second, box)) {
        --it;
    }
    return it;
}

// Takes every open region near *box into it; true when one was taken.
// *checked becomes the largest box taken when it is larger.
bool RegionFinder::absorbOpen(PixelBox* box, PixelBox* checked) {
    bool grew = false;
    for (auto it = firstOpenNear(*box); it != open_.end() && it->first < box->x1 + kRegionGap;) {
        if (!near(it->second, *box)) {
            ++it;
            continue;
        }
        if (area(it->second) > area(*checked)) {
            *checked = it->second;
        }
        *box = unite(*box, it->second);
        it = open_.erase(it);
        grew = true;
    }
    return grew;
}

// Takes every retired region near `strip` into *box; true when one was taken.
bool RegionFinder::absorbRetired(const PixelBox& strip, PixelBox* box) {
    bool grew = false;
    const std::int64_t first = strip.x0 / bandWidth_;
    const std::int64_t last = (strip.x1 - 1) / bandWidth_;
    for (std::int64_t b = first; b <= last; ++b) {
        for (const std::uint32_t index : bands_[static_cast<std::size_t>(b)]) {
            Retired& r = retired_[index];
            if (r.alive && near(r.box, strip)) {
                r.alive = false;
                --alive_;
                *box = unite(*box, r.box);
                grew = true;
            }
        }
    }
    return grew;
}

// Adds a run of row y (box) and merges until no region is near another.
// `checked` is a box that, extended downwards, is near no retired region:
// open regions are, and so is anything on the newest row.
void RegionFinder::settle(PixelBox box) {
    auto it = firstOpenNear(box);
    if (it != open_.end() && near(it->second, box) && it->second.x0 <= box.x0 &&
        box.x1 <= it->second.x1) {
        // Within an open region's columns: it only grows downwards, which
        // brings it near nothing new.
        it->second.y1 = std::max(it->second.y1, box.y1);
        return;
    }
    PixelBox checked = box;
    for (bool grew = true; grew;) {
        grew = absorbOpen(&box, &checked);
        const PixelBox before = box;
        const PixelBox strips[3] = {
            {box.x0, box.y0, checked.x0, box.y1},  // left of the checked columns
            {checked.x1, box.y0, box.x1, box.y1},  // right of them
            {std::max(box.x0, checked.x0), box.y0, std::min(box.x1, checked.x1),
             checked.y0},  // above them
        };
        for (const PixelBox& strip : strips) {
            if (!strip.empty() && absorbRetired(strip, &box)) {
                grew = true;
            }
        }
        checked = before;
    }
    open_.emplace(box.x0, box);
    if (retired_.size() > 2 * alive_ + 1024) {
        compact();
    }
}

// Drops the retired regions merged into others, and indexes the rest anew.
void RegionFinder::compact() {
    std::vector<Retired> kept;
    kept.reserve(alive_);
    for (const Retired& r : retired_) {
        if (r.alive) {
            kept.push_back(r);
        }
    }
    retired_.clear();
    alive_ = 0;
    for (auto& band : bands_) {
        band.clear();
    }
    for (const Retired& r : kept) {
        retire(r.box);
    }
}

std::vector<PixelBox> RegionFinder::finish() {
    for (const auto& [x0, box] : open_) {
        retired_.push_back({box, true});
    }
    open_.clear();
    std::vector<PixelBox> regions;
    for (const Retired& r : retired_) {
        if (r.alive) {
            regions.push_back(r.box);
        }
    }
    retired_.clear();
    alive_ = 0;
    for (auto& band : bands_) {
        band.clear();
    }
    std::sort(regions.begin(), regions.end(), [](const PixelBox& a, const PixelBox& b) {
        if (area(a) != area(b)) {
            return area(a) > area(b);
        }
        return a.y0 != b.y0 ? a.y0 < b.y0 : a.x0 < b.x0;
    });
    return regions;
}

}  // namespace vrs
