// SPDX-License-Identifier: MIT
#include "compare/picture_rows.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "compare/compare_types.h"
#include "compare/compared_rows.h"
#include "compare/png_rows.h"
#include "decode/decoder.h"
#include "decode/row_source.h"

namespace vrs {
namespace {

// Rows kept converted: the five asked for last, and room to spare.
constexpr std::int64_t kRing = 8;
// About how many bytes of a PNG are decoded ahead of the comparison.
constexpr std::int64_t kPngAheadBytes = std::int64_t{4} << 20;
// About how many bytes of rows a PNG's thread hands over at a time.
constexpr std::int64_t kPngBatchBytes = std::int64_t{256} << 10;

std::size_t pixelBytes(std::int64_t width) {
    return static_cast<std::size_t>(kComparedPixelBytes * width);
}

class CaptureRows final : public PictureRows {
  public:
    explicit CaptureRows(const PixelRows& rows) : file_(rows), layout_(rows.layout) {}
    bool open() override {
        try {
            file_.prepare(true);
            ring_.resize(pixelBytes(layout_.width) * kRing);
        } catch (const std::bad_alloc&) {
            failure_.problem = ReadProblem::OutOfMemory;
            return false;
        }
        return true;
    }
    std::int64_t width() const override { return layout_.width; }
    std::int64_t height() const override { return layout_.height; }
    const std::uint8_t* row(std::int64_t y) override {
        std::uint8_t* out = ring_.data() + pixelBytes(layout_.width) * (y % kRing);
        const std::uint8_t* bytes = nullptr;
        if (rowDecoderFor(layout_.depth) != nullptr &&
            (bytes = file_.pixelBytes(y, layout_.height)) == nullptr) {
            failure_.problem = ReadProblem::ChangedWhileRead;
            return nullptr;
        }
        capturePixels(bytes, layout_.width, layout_.depth, out);
        return out;
    }

  private:
    FileRows file_;
    RowLayout layout_;
    std::vector<std::uint8_t> ring_;
};

class BitmapRows final : public PictureRows {
  public:
    explicit BitmapRows(const PlanarBitmap& bitmap) : bitmap_(bitmap), source_(bitmap) {}
    bool open() override {
        try {
            ring_.resize(pixelBytes(bitmap_.width()) * kRing);
        } catch (const std::bad_alloc&) {
            failure_.problem = ReadProblem::OutOfMemory;
            return false;
        }
        return true;
    }
    std::int64_t width() const override { return bitmap_.width(); }
    std::int64_t height() const override { return bitmap_.height(); }
    const std::uint8_t* row(std::int64_t y) override {
        RgbRow planes;
        if (!source_.row(y, &planes)) {
            failure_.problem = ReadProblem::OutOfMemory;  // an empty bitmap: nothing was made
            return nullptr;
        }
        std::uint8_t* out = ring_.data() + pixelBytes(bitmap_.width()) * (y % kRing);
        planePixels(planes, bitmap_.width(), out);
        return out;
    }

  private:
    const PlanarBitmap& bitmap_;
    BitmapRowSource source_;
    std::vector<std::uint8_t> ring_;
};

// Decodes on a thread of its own into a ring of rows, ahead of the rows
// asked for, never over the five kept.
class PngPictureRows final : public PictureRows {
  public:
    PngPictureRows(const FileBytes& bytes, std::uint64_t size) : png_(bytes, size) {}
    ~PngPictureRows() override {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    bool open() override {
        if (!png_.open()) {
            failure_ = {png_.problem(), png_.detail()};
            return false;
        }
        const std::int64_t rowBytes = kComparedPixelBytes * png_.width();
        slots_ =
            std::max<std::int64_t>(kRing, kPngAheadBytes / std::max<std::int64_t>(rowBytes, 1));
        slots_ = std::min(slots_, std::max<std::int64_t>(png_.height(), 1) + kPictureKept);
        try {
            ring_.resize(static_cast<std::size_t>(rowBytes * slots_));
            thread_ = std::thread([this] { decode(); });
        } catch (const std::exception&) {
            failure_.problem = ReadProblem::OutOfMemory;
            return false;
        }
        return true;
    }
    std::int64_t width() const override { return png_.width(); }
    std::int64_t height() const override { return png_.height(); }
    const std::uint8_t* row(std::int64_t y) override {
        std::unique_lock lock(mutex_);
        asked_ = y;
        changed_.notify_all();
        changed_.wait(lock, [&] { return decoded_ > y || failed_; });
        if (decoded_ <= y) {
            failure_ = {png_.problem(), png_.detail()};
            return nullptr;
        }
        return slot(y);
    }

  private:
    static constexpr std::int64_t kPictureKept = kKept;

    std::uint8_t* slot(std::int64_t y) {
        return ring_.data() + pixelBytes(png_.width()) * static_cast<std::size_t>(y % slots_);
    }

    // Rows are handed over in batches, so that neither thread wakes the
    // other for every row.
    void decode() {
        const std::int64_t batch = std::clamp<std::int64_t>(
            kPngBatchBytes / std::max<std::int64_t>(kComparedPixelBytes * png_.width(), 1), 1,
            std::max<std::int64_t>(slots_ - kKept, 1));
        std::int64_t asked = -1;  // as last seen
        for (std::int64_t y = 0; y < png_.height(); ++y) {
            // Row y takes the slot of row y - slots_, which must be older
            // than the rows kept for the comparison.
            if (y - slots_ >= asked - kKept + 1) {
                std::unique_lock lock(mutex_);
                decoded_ = y;
                changed_.notify_all();
                changed_.wait(lock, [&] { return stop_ || y - slots_ < asked_ - kKept + 1; });
                if (stop_) {
                    return;
                }
                asked = asked_;
            }
            const bool ok = png_.nextRow(slot(y));
            if (!ok || (y + 1) % batch == 0 || y + 1 == png_.height()) {
                {
                    std::lock_guard lock(mutex_);
                    decoded_ = ok ? y + 1 : y;
                    failed_ = !ok;
                    asked = asked_;
                }
                changed_.notify_all();
            }
            if (!ok) {
                return;
            }
        }
    }

    PngRows png_;  // used by the decoding thread once it runs
    std::vector<std::uint8_t> ring_;
    std::int64_t slots_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::int64_t asked_ = -1;   // the last row asked for
    std::int64_t decoded_ = 0;  // rows decoded
    bool failed_ = false;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace

std::unique_ptr<PictureRows> makePictureRows(const PictureSource& source) {
    try {
        switch (source.kind) {
            case PictureSource::Kind::Capture:
                return std::make_unique<CaptureRows>(source.capture);
            case PictureSource::Kind::Png:
                return std::make_unique<PngPictureRows>(source.png, source.pngSize);
            case PictureSource::Kind::Bitmap:
                return std::make_unique<BitmapRows>(*source.bitmap);
        }
    } catch (const std::bad_alloc&) {
    }
    return nullptr;
}

}  // namespace vrs
