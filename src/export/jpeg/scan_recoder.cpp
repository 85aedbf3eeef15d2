// SPDX-License-Identifier: MIT
#include "export/jpeg/scan_recoder.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <memory>
#include <utility>

namespace vrs {
namespace {

constexpr int kBlockCoefficients = 64;
constexpr int kMaxDcCategory = 11;
constexpr int kZeroRun = 0xF0;  // sixteen zero coefficients
constexpr int kEndOfBlock = 0x00;

// Reads the bits of entropy-coded data, high bits first, dropping the 0x00
// that follows each 0xFF byte. Past the end it reads zeros, and counts them.
class BitReader {
  public:
    BitReader(const std::uint8_t* data, std::size_t size) : next_(data), end_(data + size) {}

    // Makes at least 32 bits ready: a code and its magnitude bits.
    void refill() {
        if (count_ < 32) {
            fill();
        }
    }

    // The symbol of the next code, or -1 when no code matches.
    int decode(const HuffmanDecoder& table) {
        const std::uint16_t entry = table.look[acc_ >> (64 - HuffmanDecoder::kLookBits)];
        if (entry != 0) {
            skip(entry >> 8);
            return entry & 0xFF;
        }
        const auto bits16 = static_cast<std::int32_t>(acc_ >> 48);
        for (int length = HuffmanDecoder::kLookBits + 1; length <= 16; ++length) {
            const std::int32_t code = bits16 >> (16 - length);
            if (code <= table.maxCode[length]) {
                skip(length);
                return table.values[static_cast<std::size_t>(table.offset[length] + code)];
            }
        }
        return -1;
    }

    // The next n bits, n from 0 to 16.
    std::uint32_t take(int n) {
        const auto value = static_cast<std::uint32_t>((acc_ >> 32) >> (32 - n));
        skip(n);
        return value;
    }

    // True when bits past the data were read.
    bool overran() const { return zerosAdded_ > count_; }

  private:
    void fill() {
        if (end_ - next_ >= 4) {
            const std::uint32_t word = std::uint32_t{next_[0]} << 24 |
                                       std::uint32_t{next_[1]} << 16 |
                                       std::uint32_t{next_[2]} << 8 | next_[3];
            const std::uint32_t inverse = ~word;
            if (((inverse - 0x01010101u) & ~inverse & 0x80808080u) == 0) {  // no 0xFF byte
                acc_ |= std::uint64_t{word} << (32 - count_);
                count_ += 32;
                next_ += 4;
                return;
            }
        }
        while (count_ <= 56) {
            std::uint64_t byte = 0;
            if (next_ < end_) {
                byte = *next_++;
                if (byte == 0xFF && next_ < end_ && *next_ == 0) {
                    ++next_;
                }
            } else {
                zerosAdded_ += 8;
            }
            acc_ |= byte << (56 - count_);
            count_ += 8;
        }
    }
    void skip(int n) {
        acc_ <<= n;
        count_ -= n;
    }

    const std::uint8_t* next_;
    const std::uint8_t* end_;
    std::uint64_t acc_ = 0;  // count_ bits, from the top
    int count_ = 0;
    int zerosAdded_ = 0;
};

// Writes codes high bits first, stuffing 0x00 after each 0xFF byte, into
// the body; a first byte shared with the data before becomes the head.
class BitWriter {
  public:
    // Reuses the storage of the body already in `out`.
    BitWriter(int startBit, std::size_t expectedBytes, RecodedScan* out)
        : out_(out), bytes_(std::move(out->body)), count_(startBit), shared_(startBit > 0) {
        *out = {};
        bytes_.resize(std::max(bytes_.capacity(), expectedBytes + kSlack));
    }

    void put(std::uint32_t code, int length) {
        acc_ = (acc_ << length) | code;
        count_ += length;
        written_ += static_cast<std::uint64_t>(length);
        if (count_ >= 32) {
            count_ -= 32;
            putWord(static_cast<std::uint32_t>(acc_ >> count_));
        }
    }

    std::uint64_t finish() {
        while (count_ >= 8) {
            count_ -= 8;
            putByte(static_cast<std::uint8_t>(acc_ >> count_));
        }
        out_->tail = static_cast<std::uint8_t>(acc_ << (8 - count_));
        out_->tailBits = count_;
        bytes_.resize(size_);
        if (shared_ && size_ > 0) {
            out_->head = bytes_[0];
            out_->headComplete = true;
            out_->bodyStart = bytes_[0] == 0xFF ? 2 : 1;
        }
        out_->body = std::move(bytes_);
        return written_;
    }

  private:
    static constexpr std::size_t kSlack = 16;  // room for a word and its stuffing

    void putWord(std::uint32_t word) {
        if (size_ + 8 > bytes_.size()) {
            bytes_.resize(2 * bytes_.size());
        }
        const std::uint32_t inverse = ~word;
        if (((inverse - 0x01010101u) & ~inverse & 0x80808080u) == 0) {  // no 0xFF byte
            std::uint8_t* at = bytes_.data() + size_;
            at[0] = static_cast<std::uint8_t>(word >> 24);
            at[1] = static_cast<std::uint8_t>(word >> 16);
            at[2] = static_cast<std::uint8_t>(word >> 8);
            at[3] = static_cast<std::uint8_t>(word);
            size_ += 4;
            return;
        }
        for (int shift = 24; shift >= 0; shift -= 8) {
            putByte(static_cast<std::uint8_t>(word >> shift));
        }
    }

    void putByte(std::uint8_t byte) {
        if (size_ + 2 > bytes_.size()) {
            bytes_.resize(2 * bytes_.size());
        }
        bytes_[size_++] = byte;
        if (byte == 0xFF) {
            bytes_[size_++] = 0;
        }
    }

    RecodedScan* out_;
    std::vector<std::uint8_t> bytes_;
    std::size_t size_ = 0;
    std::uint64_t acc_ = 0;  // the low count_ bits are pending
    int count_;
    bool shared_;
    std::uint64_t written_ = 0;
};

struct ScanDecoders {
    std::array<HuffmanDecoder, 2> dc;
    std::array<HuffmanDecoder, 2> ac;
};

bool makeDecoders(const JpegTables& tables, ScanDecoders* decoders) {
    for (int t = 0; t < 2; ++t) {
        if (!makeDecoder(tables.dc[t], &decoders->dc[t]) ||
            !makeDecoder(tables.ac[t], &decoders->ac[t])) {
            return false;
        }
    }
    return true;
}

int extend(std::uint32_t bits, int category) {
    if (category == 0) {
        return 0;
    }
    const auto value = static_cast<int>(bits);
    return value < (1 << (category - 1)) ? value - (1 << category) + 1 : value;
}

std::uint32_t magnitudeBits(int value, int category) {
    const int v = value < 0 ? value - 1 : value;
    return static_cast<std::uint32_t>(v) & ((1u << category) - 1);
}

// Calls dc(component, category, bits) and ac(table, symbol, bits) for every
// symbol of the layout's blocks, in order. False when the data does not hold them.
template <typename OnDc, typename OnAc>
bool walkScan(BitReader& in, const ScanLayout& layout, const ScanDecoders& decoders, OnDc dc,
              OnAc ac) {
    for (std::int64_t mcu = 0; mcu < layout.mcus; ++mcu) {
        for (int c = 0; c < kScanComponents; ++c) {
            const HuffmanDecoder& dcTable = decoders.dc[layout.dcTable[c]];
            const HuffmanDecoder& acTable = decoders.ac[layout.acTable[c]];
            for (int block = 0; block < layout.blocksPerMcu[c]; ++block) {
                in.refill();
                const int category = in.decode(dcTable);
                if (category < 0 || category > kMaxDcCategory) {
                    return false;
                }
                dc(c, category, in.take(category));
                for (int k = 1; k < kBlockCoefficients;) {
                    in.refill();
                    const int symbol = in.decode(acTable);
                    const int size = symbol & 15;
                    if (symbol < 0 || (size == 0 && symbol != kZeroRun && symbol != kEndOfBlock)) {
                        return false;
                    }
                    if (symbol == kEndOfBlock) {
                        ac(layout.acTable[c], symbol, 0);
                        break;
                    }
                    k += size == 0 ? 16 : (symbol >> 4) + 1;
                    if (k > kBlockCoefficients) {
                        return false;
                    }
                    ac(layout.acTable[c], symbol, in.take(size));
                }
            }
        }
    }
    return !in.overran();
}

}  // namespace

int magnitudeCategory(int value) {
    return std::bit_width(static_cast<unsigned>(std::abs(value)));
}

bool countScan(const std::uint8_t* data, std::size_t size, const ScanLayout& layout,
               const JpegTables& tables, ScanStats* stats) {
    *stats = {};
    auto decoders = std::make_unique<ScanDecoders>();
    if (!makeDecoders(tables, decoders.get())) {
        return false;
    }
    BitReader in(data, size);
    std::array<int, kScanComponents> predicted{};
    std::array<bool, kScanComponents> seen{};
    const auto dc = [&](int c, int category, std::uint32_t bits) {
        ++stats->dc[layout.dcTable[c]][category];
        stats->magnitudeBits += static_cast<std::uint64_t>(category);
        predicted[c] += extend(bits, category);
        if (!seen[c]) {
            stats->firstDc[c] = predicted[c];
            seen[c] = true;
        }
    };
    const auto ac = [&](int table, int symbol, std::uint32_t) {
        ++stats->ac[table][symbol];
        stats->magnitudeBits += static_cast<std::uint64_t>(symbol & 15);
    };
    const bool ok = walkScan(in, layout, *decoders, dc, ac);
    stats->lastDc = predicted;
    return ok;
}

bool recodeScan(const std::uint8_t* data, std::size_t size, const ScanLayout& layout,
                const JpegTables& tables, const ScanEncoders& encoders,
                const RecodeSettings& settings, RecodedScan* out) {
    auto decoders = std::make_unique<ScanDecoders>();
    if (!makeDecoders(tables, decoders.get())) {
        return false;
    }
    BitReader in(data, size);
    BitWriter writer(settings.startBit, settings.expectedBits / 8 + size / 64, out);
    std::array<bool, kScanComponents> seen{};
    bool coded = true;
    const auto put = [&](const HuffmanEncoder& table, int symbol, std::uint32_t bits, int n) {
        const int length = table.length[symbol];
        coded = coded && length > 0;
        writer.put(std::uint32_t{table.code[symbol]} << n | bits, length + n);
    };
    const auto dc = [&](int c, int category, std::uint32_t bits) {
        if (!seen[c]) {
            seen[c] = true;
            const int value = extend(bits, category) - settings.previousDc[c];
            category = magnitudeCategory(value);
            bits = magnitudeBits(value, category);
        }
        put(encoders.dc[layout.dcTable[c]], category, bits, category);
    };
    const auto ac = [&](int table, int symbol, std::uint32_t bits) {
        put(encoders.ac[table], symbol, bits, symbol & 15);
    };
    if (!walkScan(in, layout, *decoders, dc, ac)) {
        return false;
    }
    return coded && writer.finish() == settings.expectedBits;
}

}  // namespace vrs
