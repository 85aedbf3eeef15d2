// SPDX-License-Identifier: MIT
#include "pixbuf_loader.h"

#include <sys/stat.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "decode/box_average.h"
#include "decode/file_row_source.h"
#include "fed_rows.h"
#include "platform/regular_file.h"

namespace vrs::plugin {
namespace {

// Bytes of a stream read at a time when the file is not a regular one.
constexpr std::size_t kPiece = std::size_t{64} << 10;

void refuse(GError** error, const VirtualScreenInfo& info) {
    g_set_error(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_CORRUPT_IMAGE, "%s",
                describeLoadError(info).c_str());
}

void outOfMemory(GError** error) {
    g_set_error_literal(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY,
                        "Not enough memory to load the virtual-screen file");
}

void changed(GError** error) {
    VirtualScreenInfo info;
    info.error = LoadError::ChangedWhileRead;
    refuse(error, info);
}

// An RGB pixbuf of this size, or null (sizes beyond an int, or
// memory short).
GdkPixbuf* makePixbuf(std::int64_t width, std::int64_t height) {
    if (width > INT_MAX || height > INT_MAX) {
        return nullptr;
    }
    return gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, static_cast<int>(width),
                          static_cast<int>(height));
}

std::uint8_t* pixbufRow(GdkPixbuf* pixbuf, std::int64_t y) {
    return gdk_pixbuf_get_pixels(pixbuf) + y * gdk_pixbuf_get_rowstride(pixbuf);
}

// One incremental load: hands each decoded row to the pixbuf and tells the
// host which rows are final. When the host's size function asks for a
// smaller picture, the pixbuf is made at that size and the file's rows are
// box-averaged into it as they come; a larger or mixed size is left to the
// host, which scales the full picture.
class PixbufSink final : public RowSink {
  public:
    PixbufSink(GdkPixbufModuleSizeFunc sizeFunc, GdkPixbufModulePreparedFunc preparedFunc,
               GdkPixbufModuleUpdatedFunc updatedFunc, gpointer userData)
        : sizeFunc_(sizeFunc),
          preparedFunc_(preparedFunc),
          updatedFunc_(updatedFunc),
          userData_(userData) {}
    ~PixbufSink() override {
        if (pixbuf_ != nullptr) {
            g_object_unref(pixbuf_);
        }
    }
    PixbufSink(const PixbufSink&) = delete;
    PixbufSink& operator=(const PixbufSink&) = delete;

    bool sized(std::int64_t width, std::int64_t height) override {
        if (width > INT_MAX || height > INT_MAX) {
            return true;  // prepare() refuses it
        }
        int w = static_cast<int>(width);
        int h = static_cast<int>(height);
        if (sizeFunc_ != nullptr) {
            // A caller that sets 0 wants only the size (gdk_pixbuf_get_file_info).
            sizeFunc_(&w, &h, userData_);
        }
        shrinks_ = w > 0 && h > 0 && w <= width && h <= height && (w < width || h < height) &&
                   w <= BoxAverage::kLongestSide && h <= BoxAverage::kLongestSide;
        if (shrinks_) {
            width_ = w;
            height_ = h;
        }
        return w > 0 && h > 0;
    }
    bool shrinks() const override { return shrinks_; }
    bool prepare(std::int64_t width, std::int64_t height) override {
        if (shrinks_) {
            if (!box_.prepare(width, height, width_, height_)) {
                return false;
            }
            fileWidth_ = width;
        } else {
            width_ = width;
            height_ = height;
        }
        pixbuf_ = makePixbuf(width_, height_);
        if (pixbuf_ == nullptr) {
            return false;
        }
        if (preparedFunc_ != nullptr) {
            preparedFunc_(pixbuf_, nullptr, userData_);
        }
        return true;
    }
    void row(std::int64_t y, const RgbRow& row) override {
        if (!shrinks_) {
            interleaveRgb(row, width_, pixbufRow(pixbuf_, y));
            return;
        }
        // File rows come in order, each in the box of pixbuf row done_.
        box_.add(0, fileWidth_, row.red, row.green, row.blue);
        if (y + 1 == box_.top(done_ + 1)) {
            interleaveRgb(box_.take(done_), width_, pixbufRow(pixbuf_, done_));
            ++done_;
        }
    }
    void black(std::int64_t first, std::int64_t count) override {
        if (!shrinks_) {
            // The last row of a pixbuf may end without its padding.
            const auto stride = static_cast<std::size_t>(gdk_pixbuf_get_rowstride(pixbuf_));
            std::memset(pixbufRow(pixbuf_, first), 0,
                        static_cast<std::size_t>(count - 1) * stride +
                            static_cast<std::size_t>(3 * width_));
            return;
        }
        // Black rows add nothing to the sums: each box they complete is taken.
        const std::int64_t end = first + count;
        while (done_ < height_ && box_.top(done_ + 1) <= end) {
            interleaveRgb(box_.take(done_), width_, pixbufRow(pixbuf_, done_));
            ++done_;
        }
    }
    void updated(std::int64_t first, std::int64_t count) override {
        if (shrinks_) {
            // The pixbuf rows whose boxes those file rows completed.
            first = reported_;
            count = done_ - reported_;
            reported_ = done_;
        }
        if (updatedFunc_ != nullptr && count > 0) {
            updatedFunc_(pixbuf_, 0, static_cast<int>(first), static_cast<int>(width_),
                         static_cast<int>(count), userData_);
        }
    }
    // The pixbuf, a new reference for the caller.
    GdkPixbuf* take() {
        GdkPixbuf* p = pixbuf_;
        pixbuf_ = nullptr;
        return p;
    }

  private:
    GdkPixbufModuleSizeFunc sizeFunc_;
    GdkPixbufModulePreparedFunc preparedFunc_;
    GdkPixbufModuleUpdatedFunc updatedFunc_;
    gpointer userData_;
    GdkPixbuf* pixbuf_ = nullptr;
    std::int64_t width_ = 0;  // of the pixbuf
    std::int64_t height_ = 0;
    bool shrinks_ = false;
    // Shrinking only:
    BoxAverage box_;
    std::int64_t fileWidth_ = 0;
    std::int64_t done_ = 0;      // pixbuf rows whose boxes are complete
    std::int64_t reported_ = 0;  // pixbuf rows told to the host as final
};

struct Load {
    Load(GdkPixbufModuleSizeFunc s, GdkPixbufModulePreparedFunc p, GdkPixbufModuleUpdatedFunc u,
         gpointer d)
        : sink(s, p, u, d), rows(sink) {}
    PixbufSink sink;
    FedRows rows;
};

bool report(FedRows::Status status, const FedRows& rows, GError** error) {
    switch (status) {
        case FedRows::Status::Ok:
            return true;
        case FedRows::Status::Refused:
            refuse(error, rows.info());
            return false;
        case FedRows::Status::Stopped:
            g_set_error_literal(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_FAILED,
                                "The load was stopped once the size was known");
            return false;
        case FedRows::Status::OutOfMemory:
            outOfMemory(error);
            return false;
    }
    return false;
}

// A stream that is not a regular file, read in pieces.
GdkPixbuf* loadStream(FILE* file, GError** error) {
    Load load(nullptr, nullptr, nullptr, nullptr);
    std::uint8_t piece[kPiece];
    FedRows::Status status = FedRows::Status::Ok;
    while (status == FedRows::Status::Ok) {
        const std::size_t got = std::fread(piece, 1, sizeof piece, file);
        if (got == 0) {
            if (std::ferror(file) != 0) {
                changed(error);
                return nullptr;
            }
            status = load.rows.finish();
            break;
        }
        status = load.rows.feed(piece, got);
    }
    if (!report(status, load.rows, error)) {
        return nullptr;
    }
    return load.sink.take();
}

// A regular file, read with pread: the header, the loader's checks on the
// file's length, then the rows.
GdkPixbuf* loadRegular(int fd, std::uint64_t size, GError** error) {
    std::uint8_t header[kHeaderSize] = {};
    VirtualScreenInfo info;
    info.fileSize = size;
    info.error = LoadError::TooShortForHeader;
    if (size >= kHeaderSize) {
        if (!readFully(fd, 0, header, kHeaderSize)) {
            changed(error);
            return nullptr;
        }
        info = inspectVirtualScreen(header, static_cast<std::size_t>(size));
    }
    if (info.error != LoadError::None) {
        refuse(error, info);
        return nullptr;
    }
    FileRowSource source({FileBytes{fd, nullptr, 0, nullptr, nullptr}, info.layout}, false);
    GdkPixbuf* pixbuf = source.valid() ? makePixbuf(source.width(), source.height()) : nullptr;
    if (pixbuf == nullptr) {
        outOfMemory(error);
        return nullptr;
    }
    for (std::int64_t y = 0; y < source.height(); ++y) {
        RgbRow row;
        if (!source.row(y, &row)) {
            g_object_unref(pixbuf);
            changed(error);
            return nullptr;
        }
        interleaveRgb(row, source.width(), pixbufRow(pixbuf, y));
    }
    return pixbuf;
}

}  // namespace

GdkPixbuf* loadFile(FILE* file, GError** error) {
    const int fd = fileno(file);
    struct stat st {};
    if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        return loadRegular(fd, static_cast<std::uint64_t>(st.st_size), error);
    }
    return loadStream(file, error);
}

gpointer beginLoad(GdkPixbufModuleSizeFunc sizeFunc, GdkPixbufModulePreparedFunc preparedFunc,
                   GdkPixbufModuleUpdatedFunc updatedFunc, gpointer userData, GError** error) {
    auto* load = new (std::nothrow) Load(sizeFunc, preparedFunc, updatedFunc, userData);
    if (load == nullptr) {
        outOfMemory(error);
    }
    return load;
}

gboolean loadIncrement(gpointer context, const guchar* bytes, guint size, GError** error) {
    auto* load = static_cast<Load*>(context);
    return report(load->rows.feed(bytes, size), load->rows, error) ? TRUE : FALSE;
}

gboolean stopLoad(gpointer context, GError** error) {
    auto* load = static_cast<Load*>(context);
    const bool ok = report(load->rows.finish(), load->rows, error);
    delete load;
    return ok ? TRUE : FALSE;
}

}  // namespace vrs::plugin
