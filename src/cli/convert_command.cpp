// SPDX-License-Identifier: MIT
// vrstool convert: each file's picture through the viewer's own export code,
// rows read and decoded straight from the file.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli_common.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/headless_host.h"
#include "cli/help.h"
#include "cli/output_check.h"
#include "cli/progress_bar.h"
#include "cli/shown_name.h"
#include "decode/decoder.h"
#include "decode/file_row_source.h"
#include "export/export_format.h"
#include "export/export_image.h"
#include "platform/cleanup_signals.h"

namespace vrs::cli {
namespace {

struct Options {
    bool view = false;
    bool quiet = false;
    std::string out;
    std::string dir;
    std::string ext;
    std::string jobsText;
    std::int64_t jobs = 1;
    std::string qualityText;
    EncodeOptions encoding;
    std::vector<std::string> files;
};

struct Job {
    std::string input;
    std::string output;   // kStandardStream for standard output
    std::string refusal;  // set when the job must not run
};

// Checks what the options say together; returns 0 or a usage error's status.
int check(Options* o) {
    if (!o->jobsText.empty() && !parseNumber(o->jobsText, 1, 64, &o->jobs)) {
        return usageError("convert", "-j takes a number of files from 1 to 64");
    }
    std::int64_t quality = o->encoding.jpegQuality;
    if (!o->qualityText.empty() && !parseNumber(o->qualityText, 1, 100, &quality)) {
        return usageError("convert", "--quality takes a JPEG quality from 1 to 100");
    }
    o->encoding.jpegQuality = static_cast<int>(quality);
    if (o->files.empty()) {
        return usageError("convert", "no FILE given");
    }
    if (o->out.empty() == o->dir.empty()) {
        return usageError("convert", "give either -o OUT or -d DIR -f EXT");
    }
    const bool toStdout = o->out == kStandardStream;
    if (!o->out.empty() && o->files.size() != 1) {
        return usageError("convert", "-o writes one FILE; for several use -d DIR -f EXT");
    }
    if (!o->out.empty() && !o->ext.empty() && !toStdout) {
        return usageError("convert",
                          "-f EXT goes with -d DIR or -o -; OUT's extension is its format");
    }
    if (!o->dir.empty() && o->ext.empty()) {
        return usageError("convert", "-d needs -f EXT");
    }
    if (!o->ext.empty() && !formatForExtension(o->ext)) {
        return usageError("convert",
                          "-f " + shownName(o->ext) + " is not one of " + extensionList());
    }
    if (toStdout && isatty(STDOUT_FILENO) == 1) {
        return usageError("convert",
                          "-o - writes the picture to standard output, which is a "
                          "terminal; redirect it to a file or a pipe");
    }
    return 0;
}

// Parses the arguments; returns 0, or the exit status of a usage error.
int parse(int argc, char** argv, Options* o) {
    CommandLine line("convert");
    line.flag("--view", &o->view);
    line.flag("-q,--quiet", &o->quiet);
    line.option("-o,--output", &o->out);
    line.option("-d,--dir", &o->dir);
    line.option("-f,--format", &o->ext);
    line.option("-j,--jobs", &o->jobsText);
    line.option("--quality", &o->qualityText);
    line.operands(&o->files);
    if (const int status = line.parse(argc, argv); status != 0) {
        return status;
    }
    return check(o);
}

std::string outputFor(const Options& o, const std::string& input) {
    if (o.out == kStandardStream) {
        return o.out;
    }
    if (!o.out.empty()) {
        return exportPath(o.out);
    }
    const std::filesystem::path name = std::filesystem::path(input).filename();
    return (std::filesystem::path(o.dir) / name.stem()).string() + "." + o.ext;
}

// Refuses outputs that are inputs, and a second output to the same file.
std::vector<Job> planJobs(const Options& o) {
    OutputCheck outputs(o.files);
    std::vector<Job> jobs;
    for (const std::string& f : o.files) {
        Job job{f, outputFor(o, f), {}};
        if (const std::string refusal = outputs.claim(job.output, f); !refusal.empty()) {
            job.refusal = "not converted: " + refusal;
        }
        jobs.push_back(job);
    }
    return jobs;
}

// Counts every row the encoder reads, for the progress bar.
class CountingSource final : public RowSource {
  public:
    CountingSource(RowSource& inner, ProgressBar& bar, std::size_t index)
        : inner_(inner), bar_(bar), index_(index) {}
    std::int64_t width() const override { return inner_.width(); }
    std::int64_t height() const override { return inner_.height(); }
    bool row(std::int64_t y, RgbRow* out) override {
        bar_.step(index_);
        return inner_.row(y, out);
    }
    // The encoder's look ahead is not a row done.
    bool scanRow(std::int64_t y, RgbRow* out) override { return inner_.scanRow(y, out); }

  private:
    RowSource& inner_;
    ProgressBar& bar_;
    std::size_t index_;
};

// The format written: -f EXT or JPEG on standard output, else the extension's.
std::optional<ImageFormat> formatOf(const Job& job, const Options& o) {
    if (job.output == kStandardStream) {
        return o.ext.empty() ? ImageFormat::Jpeg : formatForExtension(o.ext);
    }
    return formatForExtension(exportExtension(job.output));
}

// TooLarge when the picture written (full or view) exceeds the format, known
// before any buffer of the rows is allocated. An unknown format passes here
// and is refused by the export.
ExportResult checkSize(const VirtualScreenInfo& info, std::optional<ImageFormat> format, bool view,
                       const std::string& output) {
    if (!format) {
        return {};
    }
    if (view) {
        const ViewSize size = viewSizeFor(info.layout.width, info.layout.height);
        return checkPictureSize(*format, size.width, size.height, output);
    }
    return checkPictureSize(*format, info.layout.width, info.layout.height, output);
}

// Converts one file; returns the failure's words, or "".
std::string convertOne(const Job& job, const Options& o, ProgressBar& bar, std::size_t index) {
    const std::string input = shownName(job.input);
    if (!job.refusal.empty()) {
        return input + ": " + job.refusal;
    }
    InputFile file;
    if (!file.open(job.input)) {
        return file.error;
    }
    const std::optional<ImageFormat> format = formatOf(job, o);
    if (const ExportResult r = checkSize(file.info, format, o.view, job.output); !r.ok()) {
        return input + ": " + describeExportResultShown(r, shownName);
    }
    FileRowSource rows(file.rows(), o.view);
    if (!rows.valid()) {
        return outOfMemory(input);
    }
    bar.start(index, rows.height() * (format ? formatInfo(*format).rowPasses : 1));
    CountingSource counted(rows, bar, index);
    if (job.output == kStandardStream) {
        const ExportResult r = writeImageToDescriptor(counted, STDOUT_FILENO, "standard output",
                                                      *format, systemFileOps(), o.encoding);
        if (!r.ok() && rows.fileChanged()) {
            return file.changedError();
        }
        return r.ok() ? std::string() : input + ": " + describeExportResultShown(r, shownName);
    }
    HeadlessHost host(nullptr);  // the failure is told once, below
    const ExportResult r = exportRows(counted, job.output, 0, host, systemFileOps(), o.encoding);
    if (!r.ok() && rows.fileChanged()) {
        return file.changedError();
    }
    return r.ok() ? std::string() : input + ": " + describeExportResultShown(r, shownName);
}

}  // namespace

int runConvert(int argc, char** argv) {
    if (wantsHelp(argc, argv)) {
        return printText(convertHelp());
    }
    Options o;
    if (const int status = parse(argc, argv, &o); status != 0) {
        return status;
    }
    removeTempsOnSignals();
    const std::vector<Job> jobs = planJobs(o);
    std::atomic<std::size_t> next{0};
    std::atomic<bool> anyFailed{false};
    {
        ProgressBar bar(!o.quiet && isatty(STDERR_FILENO) == 1, jobs.size());
        auto work = [&] {
            for (std::size_t i; (i = next.fetch_add(1)) < jobs.size();) {
                const std::string failure = convertOne(jobs[i], o, bar, i);
                bar.finish(i);
                if (!failure.empty()) {
                    anyFailed = true;
                    bar.printLine("vrstool: " + failure);
                }
            }
        };
        const auto threads = std::min<std::size_t>(static_cast<std::size_t>(o.jobs), jobs.size());
        std::vector<std::thread> pool;
        for (std::size_t t = 1; t < threads; ++t) {
            pool.emplace_back(work);
        }
        work();
        for (std::thread& t : pool) {
            t.join();
        }
    }
    return anyFailed ? kExitFailed : kExitOk;
}

}  // namespace vrs::cli
