// SPDX-License-Identifier: MIT
// vrstool diff: what changed between two pictures, captures or PNG files.
// Exit status as cmp and diff have it: 0 identical, 1 different, 2 trouble.
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "cli/json_text.h"
#include "cli/output_check.h"
#include "cli/shown_name.h"
#include "compare/colour_delta.h"
#include "compare/compare_pictures.h"
#include "compare/diff_picture.h"
#include "export/export_image.h"
#include "platform/cleanup_signals.h"

namespace vrs::cli {
namespace {

constexpr int kExitDifferent = 1;
constexpr int kExitTrouble = 2;
// Regions listed in the text report; the rest are counted.
constexpr std::size_t kRegionsListed = 50;

struct Options {
    bool json = false;
    bool mask = false;
    std::string thresholdText;
    std::vector<std::string> ignoreTexts;
    std::string out;
    std::vector<std::string> files;
    CompareOptions compare;
};

// "X,Y,W,H": four whole numbers, the size at least 1 x 1.
bool parseBox(const std::string& text, PixelBox* out) {
    std::int64_t v[4] = {};
    std::size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t comma = i < 3 ? text.find(',', at) : text.size();
        if (comma == std::string::npos ||
            !parseNumber(std::string_view(text).substr(at, comma - at), i < 2 ? 0 : 1,
                         std::int64_t{1} << 40, &v[i])) {
            return false;
        }
        at = comma + 1;
    }
    *out = {v[0], v[1], v[0] + v[2], v[1] + v[3]};
    return true;
}

bool parseThreshold(const std::string& text, double* out) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !(value >= 0 && value <= 1)) {
        return false;
    }
    *out = value;
    return true;
}

bool endsWithPng(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return ext == ".png";
}

int check(Options* o) {
    if (!o->thresholdText.empty() && !parseThreshold(o->thresholdText, &o->compare.threshold)) {
        return usageError("diff", "--threshold takes a number from 0 to 1");
    }
    for (const std::string& text : o->ignoreTexts) {
        PixelBox box;
        if (!parseBox(text, &box)) {
            return usageError("diff",
                              "--ignore takes X,Y,W,H (left, top, width, height in "
                              "pixels), not " +
                                  text);
        }
        o->compare.ignore.push_back(box);
    }
    if (o->files.size() != 2) {
        return usageError("diff", "give two FILEs to compare");
    }
    if (o->files[0] == kStandardStream && o->files[1] == kStandardStream) {
        return usageError("diff", "only one FILE can be standard input");
    }
    if (o->mask && o->out.empty()) {
        return usageError("diff", "--mask goes with -o DIFF.png");
    }
    if (!o->out.empty() && o->out != kStandardStream && !endsWithPng(o->out)) {
        return usageError("diff", "-o writes a PNG picture: give a name ending in .png");
    }
    if (o->out == kStandardStream && isatty(STDOUT_FILENO) == 1) {
        return usageError("diff",
                          "-o - writes the picture to standard output, which is a terminal; "
                          "redirect it to a file or a pipe");
    }
    return 0;
}

int parse(int argc, char** argv, Options* o) {
    CommandLine line("diff");
    bool antialiasing = false;
    line.flag("--json", &o->json);
    line.flag("--antialiasing", &antialiasing);
    line.flag("--mask", &o->mask);
    line.option("--threshold", &o->thresholdText);
    line.options("--ignore", &o->ignoreTexts);
    line.option("-o,--output", &o->out);
    line.operands(&o->files);
    if (const int status = line.parse(argc, argv); status != 0) {
        return status;
    }
    o->compare.antialiasing = antialiasing;
    return check(o);
}

// Standard input read in order after the bytes already taken for its header.
struct StandardInputStream {
    const std::uint8_t* start = nullptr;
    std::uint64_t startSize = 0;
    std::uint64_t taken = 0;  // bytes of the stream consumed, the start's included

    static bool readAt(void* context, std::uint64_t offset, void* out, std::size_t length) {
        auto* s = static_cast<StandardInputStream*>(context);
        auto* to = static_cast<std::uint8_t*>(out);
        if (s->taken == 0) {
            s->taken = s->startSize;
        }
        while (length > 0 && offset < s->startSize) {
            *to++ = s->start[offset++];
            --length;
        }
        std::uint8_t skipped[4096];
        while (length > 0) {
            if (offset < s->taken) {
                return false;  // read once, in order
            }
            const bool skip = offset > s->taken;
            std::uint8_t* into = skip ? skipped : to;
            const std::size_t want = skip ? static_cast<std::size_t>(std::min<std::uint64_t>(
                                                offset - s->taken, sizeof skipped))
                                          : length;
            const ssize_t n = ::read(STDIN_FILENO, into, want);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            s->taken += static_cast<std::uint64_t>(n);
            if (!skip) {
                to += n;
                length -= static_cast<std::size_t>(n);
                offset += static_cast<std::uint64_t>(n);
            }
        }
        return true;
    }
};

// One of the two pictures: a capture, or a PNG picture.
struct Input {
    InputFile file;
    std::string name;  // for messages
    PictureSource source;
    StandardInputStream stream;
    bool readOnce = false;  // a PNG on standard input

    bool open(const std::string& path) {
        name = path == kStandardStream ? "standard input" : shownName(path);
        if (file.open(path)) {
            source = PictureSource::ofCapture(file.rows());
            return true;
        }
        if (file.header() == nullptr || file.info.error != LoadError::OtherFormat ||
            file.info.format != PictureFormat::Png) {
            return false;
        }
        FileBytes bytes = file.rows().bytes;
        std::uint64_t size = file.size();
        if (path == kStandardStream) {
            stream.start = bytes.memory;
            stream.startSize = bytes.size;
            bytes = FileBytes{};
            bytes.readAt = &StandardInputStream::readAt;
            bytes.context = &stream;
            size = UINT64_MAX;
            readOnce = true;
        }
        source = PictureSource::ofPng(bytes, size);
        file.error.clear();
        return true;
    }
};

std::string percent(std::int64_t part, std::int64_t whole) {
    const double p = 100.0 * static_cast<double>(part) / static_cast<double>(whole);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, p >= 0.01 || p == 0 ? "%.2f" : "%.2g", p);
    return buffer;
}

PixelBox boundsOf(const std::vector<PixelBox>& regions) {
    PixelBox b = regions.front();
    for (const PixelBox& r : regions) {
        b = {std::min(b.x0, r.x0), std::min(b.y0, r.y0), std::max(b.x1, r.x1),
             std::max(b.y1, r.y1)};
    }
    return b;
}

std::string sizeText(std::int64_t w, std::int64_t h) {
    return std::to_string(w) + " x " + std::to_string(h);
}

std::string textReport(const ComparisonResult& r) {
    if (r.sizesDiffer()) {
        return "sizes differ: " + sizeText(r.widthA, r.heightA) + " and " +
               sizeText(r.widthB, r.heightB) + "\n";
    }
    if (r.identical()) {
        return "identical\n";
    }
    const std::int64_t n = r.counts.differing;
    const std::size_t k = r.regions.size();
    std::string t = groupedNumber(n) + (n == 1 ? " pixel differs (" : " pixels differ (") +
                    percent(n, r.widthA * r.heightA) + " %) in " + groupedNumber(std::int64_t(k)) +
                    (k == 1 ? " region\n" : " regions\n");
    for (std::size_t i = 0; i < k && i < kRegionsListed; ++i) {
        const PixelBox& b = r.regions[i];
        t += std::to_string(b.x0) + "," + std::to_string(b.y0) + " " + std::to_string(b.width()) +
             "x" + std::to_string(b.height()) + "\n";
    }
    if (k > kRegionsListed) {
        t += "and " + groupedNumber(static_cast<std::int64_t>(k - kRegionsListed)) + " more\n";
    }
    return t;
}

std::string jsonBox(const PixelBox& b) {
    return "[" + std::to_string(b.x0) + ", " + std::to_string(b.y0) + ", " +
           std::to_string(b.width()) + ", " + std::to_string(b.height()) + "]";
}

std::string jsonReport(const ComparisonResult& r) {
    if (r.sizesDiffer()) {
        return "{\"identical\": false, \"sizes_differ\": true, \"sizes\": [[" +
               std::to_string(r.widthA) + ", " + std::to_string(r.heightA) + "], [" +
               std::to_string(r.widthB) + ", " + std::to_string(r.heightB) + "]]}\n";
    }
    std::string o = "{\"identical\": " + std::string(r.identical() ? "true" : "false") +
                    ", \"sizes_differ\": false, \"width\": " + std::to_string(r.widthA) +
                    ", \"height\": " + std::to_string(r.heightA) +
                    ", \"differing_pixels\": " + std::to_string(r.counts.differing) +
                    ", \"bounds\": " + (r.regions.empty() ? "null" : jsonBox(boundsOf(r.regions))) +
                    ", \"regions\": [";
    for (std::size_t i = 0; i < r.regions.size(); ++i) {
        o += (i == 0 ? "" : ", ") + jsonBox(r.regions[i]);
    }
    return o + "], \"max_delta\": " + shortestNumber(deltaAsThreshold(r.counts.largestDelta)) +
           "}\n";
}

// Writes the difference's picture; returns the failure's words, or "".
std::string writeDiff(const Options& o, Input& a, Input& b, const ComparisonResult& result) {
    if (a.readOnce || b.readOnce) {
        return shownName(o.out) +
               ": not written: a PNG picture on standard input can be read only once";
    }
    DiffPicture picture(a.source, b.source, o.compare, result.regions, o.mask);
    const bool opened = picture.open();
    const auto readFailure = [&]() -> std::string {
        const Input& failed = picture.failureA().failed() ? a : b;
        const ReadFailure& f =
            picture.failureA().failed() ? picture.failureA() : picture.failureB();
        return failed.name + ": " + describeReadFailure(f);
    };
    if (!opened) {
        return readFailure();
    }
    // The picture's few colours are known: a palette makes a third of the
    // bytes to compress.
    const std::vector<std::uint32_t> colours = diffColours(o.mask);
    EncodeOptions encoding;
    encoding.pngSinglePass = true;
    encoding.pngTransparentBlack = o.mask;
    encoding.pngColours = colours;
    const ExportResult r =
        o.out == kStandardStream
            ? writeImageToDescriptor(picture, STDOUT_FILENO, "standard output", ImageFormat::Png,
                                     systemFileOps(), encoding)
            : writeImageFile(picture, o.out, ImageFormat::Png, systemFileOps(), {}, encoding);
    if (r.ok()) {
        return {};
    }
    if (picture.failureA().failed() || picture.failureB().failed()) {
        return readFailure();
    }
    return describeExportResultShown(r, shownName);
}

}  // namespace

int runDiff(int argc, char** argv) {
    if (wantsHelp(argc, argv)) {
        return printText(diffHelp()) == kExitOk ? kExitOk : kExitTrouble;
    }
    Options o;
    if (const int status = parse(argc, argv, &o); status != 0) {
        return status;
    }
    if (!o.out.empty()) {
        OutputCheck outputs(o.files);
        if (const std::string refusal = outputs.claim(o.out, o.files[0]); !refusal.empty()) {
            std::fprintf(stderr, "vrstool: not written: %s\n", refusal.c_str());
            return kExitTrouble;
        }
        removeTempsOnSignals();
    }
    Input inputs[2];
    bool opened = true;
    for (int i = 0; i < 2; ++i) {
        if (!inputs[i].open(o.files[static_cast<std::size_t>(i)])) {
            std::fprintf(stderr, "vrstool: %s\n", inputs[i].file.error.c_str());
            opened = false;
        }
    }
    if (!opened) {
        return kExitTrouble;
    }
    const ComparisonResult result = comparePictures(inputs[0].source, inputs[1].source, o.compare);
    if (result.failed()) {
        const ReadFailure* failures[2] = {&result.failureA, &result.failureB};
        for (int i = 0; i < 2; ++i) {
            if (failures[i]->failed()) {
                std::fprintf(stderr, "vrstool: %s: %s\n", inputs[i].name.c_str(),
                             describeReadFailure(*failures[i]).c_str());
            }
        }
        return kExitTrouble;
    }
    // With the picture on standard output, the report goes to standard error.
    std::FILE* report = o.out == kStandardStream ? stderr : stdout;
    const std::string text = o.json ? jsonReport(result) : textReport(result);
    std::fputs(text.c_str(), report);
    int status = result.identical() ? kExitOk : kExitDifferent;
    if (!o.out.empty()) {
        if (result.sizesDiffer()) {
            std::fprintf(stderr, "vrstool: %s: not written: the sizes differ\n",
                         shownName(o.out).c_str());
        } else if (const std::string failure = writeDiff(o, inputs[0], inputs[1], result);
                   !failure.empty()) {
            std::fprintf(stderr, "vrstool: %s\n", failure.c_str());
            status = kExitTrouble;
        }
    }
    return std::fflush(stdout) == 0 ? status : kExitTrouble;
}

}  // namespace vrs::cli
