// SPDX-License-Identifier: MIT
// Pictures for the export tests, and an independent reader (Qt's image
// plugins, libtiff's own RGBA reader where Qt has no TIFF plugin).
#pragma once

#include <QImage>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "decode/image.h"
#include "vrs_writer.h"

namespace vrs::testing {

using Paint = std::function<Rgb(std::int64_t x, std::int64_t y)>;

// A full image of width x height whose pixel (x, y) (row 0 at the top) is paint(x, y), alpha 255.
std::shared_ptr<Image> makeImage(std::int64_t width, std::int64_t height, const Paint& paint);

// Every channel differs and depends on both x and y: a flip, a transposition
// or a channel swap changes the picture.
Rgb rainbow(std::int64_t x, std::int64_t y);
// At most `colours` distinct colours (<= 256), in an asymmetric pattern.
Paint fewColours(int colours);

// Decodes an encoded file; a null image when it cannot be read.
QImage readBack(const std::vector<std::uint8_t>& bytes);

// The pixel of an image at (x, y), row 0 at the top.
Rgb pixelOf(const Image& image, std::int64_t x, std::int64_t y);

// Number of pixels that differ between a decoded file and the image (-1 when
// the sizes differ).
std::int64_t differingPixels(const QImage& decoded, const Image& image);
// Peak signal-to-noise ratio in dB over the three channels; 0 when sizes differ.
double psnr(const QImage& decoded, const Image& image);

}  // namespace vrs::testing
