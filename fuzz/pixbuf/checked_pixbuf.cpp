// SPDX-License-Identifier: MIT
#include "checked_pixbuf.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "fuzz_choices.h"
#include "pixbuf_loader.h"

namespace vrs::fuzz {
namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "checked pixbuf: %s\n", what);
        std::abort();
    }
}

enum class Ask { Own, Thumbnail, Fraction, One, SizeOnly };

struct Seen {
    Ask ask = Ask::Own;
    int divisor = 2;
    int width = 0;  // asked for
    int height = 0;
    GdkPixbuf* pixbuf = nullptr;
};

// Fits width x height within side x side, keeping its shape, as
// gdk-pixbuf-thumbnailer asks.
void fit(int side, int* width, int* height) {
    if (*width <= side && *height <= side) {
        return;
    }
    const double scale = static_cast<double>(side) / std::max(*width, *height);
    *width = std::max(1, static_cast<int>(std::lround(*width * scale)));
    *height = std::max(1, static_cast<int>(std::lround(*height * scale)));
}

void sizeFunc(int* width, int* height, gpointer data) {
    auto* seen = static_cast<Seen*>(data);
    switch (seen->ask) {
        case Ask::Own:
            break;
        case Ask::Thumbnail:
            fit(256, width, height);
            break;
        case Ask::Fraction:
            *width = 1 + (*width - 1) / seen->divisor;
            *height = 1 + (*height - 1) / seen->divisor;
            break;
        case Ask::One:
            *width = *height = 1;
            break;
        case Ask::SizeOnly:
            *width = *height = 0;
            break;
    }
    // The host's own choice, never more than a capped number of pixels.
    const double pixels = static_cast<double>(*width) * *height;
    if (pixels > static_cast<double>(kLargestAskedPixels)) {
        const double scale = std::sqrt(static_cast<double>(kLargestAskedPixels) / pixels);
        *width = std::max(1, static_cast<int>(*width * scale));
        *height = std::max(1, static_cast<int>(*height * scale));
    }
    seen->width = *width;
    seen->height = *height;
}

void prepared(GdkPixbuf* pixbuf, GdkPixbufAnimation* /*animation*/, gpointer data) {
    auto* seen = static_cast<Seen*>(data);
    seen->pixbuf = pixbuf;
    const int w = gdk_pixbuf_get_width(pixbuf);
    const int h = gdk_pixbuf_get_height(pixbuf);
    // Smaller sizes are made as asked; others are the file's, scaled by the host.
    check(w > 0 && h > 0, "an empty pixbuf");
    check((w == seen->width && h == seen->height) || w < seen->width || h < seen->height ||
              seen->ask == Ask::Own,
          "a pixbuf larger than asked");
}

void updated(GdkPixbuf* pixbuf, int x, int y, int width, int height, gpointer data) {
    check(pixbuf == static_cast<Seen*>(data)->pixbuf, "an update of another pixbuf");
    check(x == 0 && width == gdk_pixbuf_get_width(pixbuf) && height > 0, "an update not of rows");
    check(y >= 0 && y + height <= gdk_pixbuf_get_height(pixbuf), "an update past the pixbuf");
    const guint8* last = gdk_pixbuf_read_pixels(pixbuf) +
                         (y + height - 1) * gdk_pixbuf_get_rowstride(pixbuf) + 3 * width - 1;
    volatile guint8 byte = *last;
    (void)byte;
}

// What a load came to: memory short is a verdict of the machine, not of the file.
enum class Verdict { Loaded, Refused, NoMemory };

Verdict verdictOf(bool loaded, const GError* error) {
    if (loaded) {
        return Verdict::Loaded;
    }
    return error != nullptr && error->domain == GDK_PIXBUF_ERROR &&
                   error->code == GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY
               ? Verdict::NoMemory
               : Verdict::Refused;
}

// Loads that both had the memory they asked for agree on the file.
bool agree(Verdict a, Verdict b) {
    return a == b || a == Verdict::NoMemory || b == Verdict::NoMemory;
}

// The file fed in pieces of lengths drawn from the input.
Verdict feed(const std::uint8_t* data, std::size_t size, Ask ask, Choices& choices) {
    static constexpr std::size_t kPieces[] = {1, 7, 196, 251, 4096, 65536};
    Seen seen;
    seen.ask = ask;
    seen.divisor = 2 + static_cast<int>(choices.below(6));
    GError* error = nullptr;
    gpointer load = vrs::plugin::beginLoad(sizeFunc, prepared, updated, &seen, &error);
    check(load != nullptr, "no load begun");
    bool ok = true;
    Verdict verdict = Verdict::Loaded;
    for (std::size_t at = 0; ok && at < size;) {
        const std::size_t longest = kPieces[choices.below(std::size(kPieces))];
        const std::size_t piece = 1 + choices.below(longest);
        const std::size_t n = std::min(piece, size - at);
        ok = vrs::plugin::loadIncrement(load, data + at, static_cast<guint>(n), &error) == TRUE;
        check(ok == (error == nullptr), "a failed write without an error, or the reverse");
        verdict = verdictOf(ok, error);
        at += n;
    }
    g_clear_error(&error);
    const bool stopped = vrs::plugin::stopLoad(load, &error) == TRUE;
    check(stopped || !ok || error != nullptr, "a failed load without an error");
    if (ok) {
        verdict = verdictOf(stopped, error);
    }
    g_clear_error(&error);
    return verdict;
}

}  // namespace

bool checkedPixbuf(const std::uint8_t* data, std::size_t size) {
    Choices choices(data, size);
    const Verdict thumbnail = feed(data, size, Ask::Thumbnail, choices);
    static constexpr Ask kAsks[] = {Ask::Own, Ask::Fraction, Ask::One, Ask::SizeOnly};
    const Ask ask = kAsks[choices.below(std::size(kAsks))];
    const Verdict fed = feed(data, size, ask, choices);
    check(ask == Ask::SizeOnly || agree(fed, thumbnail),
          "a file loaded at one size and refused at another");
    if (size == 0) {
        return false;
    }
    FILE* stream = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    check(stream != nullptr, "no stream");
    GError* error = nullptr;
    GdkPixbuf* whole = vrs::plugin::loadFile(stream, &error);
    check((whole != nullptr) == (error == nullptr), "a stream read without a picture or an error");
    check(agree(verdictOf(whole != nullptr, error), thumbnail),
          "a stream read and a fed load disagree");
    if (whole != nullptr) {
        g_object_unref(whole);
    }
    g_clear_error(&error);
    std::fclose(stream);
    return whole != nullptr;
}

}  // namespace vrs::fuzz
