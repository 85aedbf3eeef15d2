// SPDX-License-Identifier: MIT
#include "view/reduced_pixels.h"

#include <cstdint>
#include <system_error>

#include "view/area_reduce.h"
#include "view/screen_image.h"

QImage reducePixels(const QImage& pixels, QRectF source, QSize size) {
    if (pixels.format() != QImage::Format_RGB32) {
        return {};
    }
    QImage reduced = makeScreenImage(size.width(), size.height());
    if (reduced.isNull()) {
        return {};
    }
    const vrs::RgbPixels in{reinterpret_cast<const std::uint32_t*>(pixels.constBits()),
                            static_cast<std::size_t>(pixels.bytesPerLine()) / 4, pixels.width(),
                            pixels.height()};
    vrs::reduceArea(in, {source.x(), source.y(), source.width(), source.height()},
                    reinterpret_cast<std::uint32_t*>(reduced.bits()),
                    static_cast<std::size_t>(reduced.bytesPerLine()) / 4, size.width(),
                    size.height());
    return reduced;
}

bool ReducedPixels::Key::operator==(const Key& other) const {
    return image == other.image && source.x() == other.source.x() &&
           source.y() == other.source.y() && source.width() == other.source.width() &&
           source.height() == other.source.height() && size == other.size;
}

ReducedPixels::~ReducedPixels() {
    clear();
}

void ReducedPixels::prepare(const QImage& pixels, const Key& key) {
    clear();
    try {
        // The thread holds its own reference to the pixels, which nothing
        // writes while they are shown.
        pending_ = std::async(std::launch::async,
                              [pixels, key] { return reducePixels(pixels, key.source, key.size); });
        key_ = key;
    } catch (const std::system_error&) {
        // No thread to be had: the pass reduces the pixels itself.
    }
}

QImage ReducedPixels::reduction(const QImage& pixels, const Key& key) {
    if (pending_.valid()) {
        kept_ = pending_.get();
    }
    if (key_ == key && !kept_.isNull()) {
        return kept_;
    }
    // The last one goes first: two are never held at once.
    kept_ = QImage();
    kept_ = reducePixels(pixels, key.source, key.size);
    key_ = key;
    return kept_;
}

bool ReducedPixels::holds(const Key& key) const {
    return key_ == key && (pending_.valid() || !kept_.isNull());
}

void ReducedPixels::clear() {
    if (pending_.valid()) {
        pending_.wait();
        pending_ = {};
    }
    kept_ = QImage();
    key_ = Key();
}
