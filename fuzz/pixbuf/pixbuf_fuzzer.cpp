// SPDX-License-Identifier: MIT
// libFuzzer entry: every input is a file fed to the GdkPixbuf loader in
// pieces whose size the input's length picks, asked for its own size or one
// a divisor (also from the length) makes smaller, then read whole as a
// stream. Each row the loader says is done is read to its last byte.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "pixbuf_loader.h"

namespace {

struct Seen {
    int divisor = 1;
    int width = 0;  // asked for
    int height = 0;
    GdkPixbuf* pixbuf = nullptr;
};

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

void sizeFunc(int* width, int* height, gpointer data) {
    auto* seen = static_cast<Seen*>(data);
    *width = 1 + (*width - 1) / seen->divisor;
    *height = 1 + (*height - 1) / seen->divisor;
    seen->width = *width;
    seen->height = *height;
}

void prepared(GdkPixbuf* pixbuf, GdkPixbufAnimation* /*animation*/, gpointer data) {
    auto* seen = static_cast<Seen*>(data);
    seen->pixbuf = pixbuf;
    if (seen->divisor > 1) {
        check(gdk_pixbuf_get_width(pixbuf) == seen->width &&
              gdk_pixbuf_get_height(pixbuf) == seen->height);
    }
}

void updated(GdkPixbuf* pixbuf, int x, int y, int width, int height, gpointer data) {
    check(pixbuf == static_cast<Seen*>(data)->pixbuf);
    check(x == 0 && width == gdk_pixbuf_get_width(pixbuf) && height > 0);
    check(y >= 0 && y + height <= gdk_pixbuf_get_height(pixbuf));
    const guint8* last = gdk_pixbuf_read_pixels(pixbuf) +
                         (y + height - 1) * gdk_pixbuf_get_rowstride(pixbuf) + 3 * width - 1;
    volatile guint8 byte = *last;
    (void)byte;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Seen seen;
    seen.divisor = 1 + static_cast<int>(size % 3);
    GError* error = nullptr;
    gpointer load = vrs::plugin::beginLoad(sizeFunc, prepared, updated, &seen, &error);
    check(load != nullptr);
    const std::size_t piece = 1 + size % 251;
    bool ok = true;
    for (std::size_t at = 0; ok && at < size; at += piece) {
        const std::size_t n = size - at < piece ? size - at : piece;
        ok = vrs::plugin::loadIncrement(load, data + at, static_cast<guint>(n), &error) == TRUE;
        check(ok == (error == nullptr));
    }
    g_clear_error(&error);
    const bool fed = vrs::plugin::stopLoad(load, &error) == TRUE && ok;
    check(fed || !ok || error != nullptr);
    g_clear_error(&error);

    if (size > 0) {
        FILE* stream = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
        check(stream != nullptr);
        GdkPixbuf* whole = vrs::plugin::loadFile(stream, &error);
        check((whole != nullptr) == (error == nullptr));
        check((whole != nullptr) == fed);
        if (whole != nullptr) {
            g_object_unref(whole);
        }
        g_clear_error(&error);
        std::fclose(stream);
    }
    return 0;
}
