// SPDX-License-Identifier: MIT
#include "export/encoders.h"

namespace vrs {

bool encodeImage(ImageFormat format, RowSource& source, OutputStream& out,
                 const EncodeOptions& options) {
    // The encoders trust the size they are given: it is checked here, once.
    const std::int64_t width = source.width();
    const std::int64_t height = source.height();
    if (width <= 0 || height <= 0 || !pictureFits(format, width, height)) {
        return false;
    }
    return formatInfo(format).encode(source, out, options);
}

}  // namespace vrs
