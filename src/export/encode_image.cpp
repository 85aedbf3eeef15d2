#include "export/encoders.h"

namespace vrs {

bool encodeImage(ImageFormat format, RowSource& source, OutputStream& out,
                 const EncodeOptions& options) {
    switch (format) {
        case ImageFormat::Tiff:
            return encodeTiff(source, out);
        case ImageFormat::Jpeg:
            return encodeJpeg(source, out, options.jpegQuality);
        case ImageFormat::Bmp:
            return encodeBmp(source, out);
        case ImageFormat::Gif:
            return encodeGif(source, out);
        case ImageFormat::Png:
            return encodePng(source, out);
    }
    return false;
}

}  // namespace vrs
