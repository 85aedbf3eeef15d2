// SPDX-License-Identifier: MIT
// The loops below run over bytes without branches that depend on the data,
// so that the compiler vectorises them; the functions ask for the vectoriser's
// full cost model, which -O2 alone restricts to loops without a remainder.
#include "export/png/png_filters.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/vectorise.h"

namespace vrs {
namespace {

template <std::size_t kBpp>
VRS_VECTORISE void filterSub(const std::uint8_t* line, std::size_t n, std::uint8_t* d) {
    for (std::size_t i = kBpp; i < n; ++i) {
        d[i] = static_cast<std::uint8_t>(line[i] - line[i - kBpp]);
    }
}

VRS_VECTORISE void filterUp(const std::uint8_t* line, const std::uint8_t* prior, std::size_t n,
                            std::uint8_t* d) {
    for (std::size_t i = 0; i < n; ++i) {
        d[i] = static_cast<std::uint8_t>(line[i] - prior[i]);
    }
}

template <std::size_t kBpp>
VRS_VECTORISE void filterAverage(const std::uint8_t* line, const std::uint8_t* prior, std::size_t n,
                                 std::uint8_t* d) {
    for (std::size_t i = kBpp; i < n; ++i) {
        const unsigned sum = static_cast<unsigned>(line[i - kBpp]) + prior[i];
        d[i] = static_cast<std::uint8_t>(line[i] - (sum >> 1));
    }
}

// Paeth's predictor with the ties broken as the format requires: a, then b,
// then c.
template <std::size_t kBpp>
VRS_VECTORISE void filterPaeth(const std::uint8_t* line, const std::uint8_t* prior, std::size_t n,
                               std::uint8_t* d) {
    for (std::size_t i = kBpp; i < n; ++i) {
        const int a = line[i - kBpp];
        const int b = prior[i];
        const int c = prior[i - kBpp];
        const int pa = b > c ? b - c : c - b;
        const int pb = a > c ? a - c : c - a;
        const int sum = a + b - 2 * c;
        const int pc = sum < 0 ? -sum : sum;
        const int predicted = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
        d[i] = static_cast<std::uint8_t>(line[i] - predicted);
    }
}

// The sum of the filtered bytes read as signed: libpng's measure.
VRS_VECTORISE std::uint64_t cost(const std::uint8_t* filtered, std::size_t n) {
    std::uint64_t total = 0;
    constexpr std::size_t kBlock = 1 << 16;  // 32-bit sums cannot overflow within
    for (std::size_t start = 0; start < n; start += kBlock) {
        const std::size_t end = std::min(n, start + kBlock);
        std::uint32_t sum = 0;
        for (std::size_t i = start; i < end; ++i) {
            const auto s = static_cast<std::int8_t>(filtered[i]);
            sum += static_cast<std::uint32_t>(s < 0 ? -s : s);
        }
        total += sum;
    }
    return total;
}

template <std::size_t kBpp>
void applyFilterAt(PngFilter filter, const std::uint8_t* line, const std::uint8_t* prior,
                   std::size_t n, std::uint8_t* d) {
    const std::size_t head = std::min(n, kBpp);  // the first pixel has nothing on its left
    switch (filter) {
        case kPngNone:
            std::memcpy(d, line, n);
            break;
        case kPngSub:
            std::memcpy(d, line, head);
            filterSub<kBpp>(line, n, d);
            break;
        case kPngUp:
            filterUp(line, prior, n, d);
            break;
        case kPngAverage:
            for (std::size_t i = 0; i < head; ++i) {
                d[i] = static_cast<std::uint8_t>(line[i] - prior[i] / 2);
            }
            filterAverage<kBpp>(line, prior, n, d);
            break;
        case kPngPaeth:
            filterUp(line, prior, head, d);
            filterPaeth<kBpp>(line, prior, n, d);
            break;
    }
}

}  // namespace

void applyPngFilter(PngFilter filter, const std::uint8_t* line, const std::uint8_t* prior,
                    std::size_t n, std::size_t bytesPerPixel, std::uint8_t* out) {
    out[0] = filter;
    if (bytesPerPixel == 1) {
        applyFilterAt<1>(filter, line, prior, n, out + 1);
    } else {
        applyFilterAt<3>(filter, line, prior, n, out + 1);
    }
}

PngRowFilter::PngRowFilter(int filters, std::size_t rowBytes, std::size_t bytesPerPixel)
    : filters_(filters), n_(rowBytes), bpp_(bytesPerPixel) {
    prior_.assign(n_, 0);
    best_.resize(n_ + 1);
    trial_.resize(n_ + 1);
}

const std::uint8_t* PngRowFilter::filter(const std::uint8_t* line, bool first) {
    // A row that repeats the one above becomes zeros under "up", which no
    // other filter beats; screen pictures have many.
    const bool repeat = !first && std::memcmp(line, prior_.data(), n_) == 0;
    if (filters_ == 0 || (repeat && (filters_ & pngFilterBit(kPngUp)) != 0)) {
        applyPngFilter(repeat ? kPngUp : kPngNone, line, prior_.data(), n_, bpp_, best_.data());
    } else {
        chooseAmong(line);
    }
    std::memcpy(prior_.data(), line, n_);
    return best_.data();
}

void PngRowFilter::chooseAmong(const std::uint8_t* line) {
    std::uint64_t bestCost = UINT64_MAX;
    for (int f = kPngNone; f <= kPngPaeth; ++f) {
        if ((filters_ & pngFilterBit(f)) == 0) {
            continue;
        }
        applyPngFilter(static_cast<PngFilter>(f), line, prior_.data(), n_, bpp_, trial_.data());
        const std::uint64_t c = filters_ == pngFilterBit(f) ? 0 : cost(trial_.data() + 1, n_);
        if (c < bestCost) {
            bestCost = c;
            best_.swap(trial_);
        }
    }
    if (bestCost == UINT64_MAX) {  // no known filter bit: unfiltered
        applyPngFilter(kPngNone, line, prior_.data(), n_, bpp_, best_.data());
    }
}

}  // namespace vrs
