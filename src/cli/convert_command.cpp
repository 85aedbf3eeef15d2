// vrstool convert: each file's picture through the viewer's own export code,
// rows read and decoded straight from the file.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "cli/progress_bar.h"
#include "export/export_format.h"
#include "export/export_image.h"
#include "export/file_row_source.h"
#include "platform/headless_host.h"

namespace vrs::cli {
namespace {

struct Options {
    bool view = false;
    std::string out;
    std::string dir;
    std::string ext;
    std::int64_t jobs = 1;
    std::vector<std::string> files;
};

struct Job {
    std::string input;
    std::string output;
    std::string refusal;  // set when the job must not run
};

// Parses the arguments; returns 0, or the exit status of a usage error.
int parse(int argc, char** argv, Options* o) {
    bool options = true;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue = arg == "-o" || arg == "-d" || arg == "-f" || arg == "-j";
        if (options && takesValue && i + 1 >= argc) {
            return usageError("convert", arg + " needs a value");
        }
        if (!options || arg == "-" || arg.empty() || arg[0] != '-') {
            o->files.push_back(arg);
        } else if (arg == "--") {
            options = false;
        } else if (arg == "--view") {
            o->view = true;
        } else if (arg == "-o") {
            o->out = argv[++i];
        } else if (arg == "-d") {
            o->dir = argv[++i];
        } else if (arg == "-f") {
            o->ext = argv[++i];
        } else if (arg == "-j") {
            if (!parseNumber(argv[++i], 1, 64, &o->jobs)) {
                return usageError("convert", "-j takes a number of files from 1 to 64");
            }
        } else {
            return usageError("convert", "unknown option " + arg);
        }
    }
    if (o->files.empty()) {
        return usageError("convert", "no FILE given");
    }
    if (o->out.empty() == o->dir.empty()) {
        return usageError("convert", "give either -o OUT or -d DIR -f EXT");
    }
    if (!o->out.empty() && (o->files.size() != 1 || !o->ext.empty())) {
        return usageError("convert", "-o writes one FILE; for several use -d DIR -f EXT");
    }
    if (!o->dir.empty() && !formatForExtension(o->ext)) {
        return usageError("convert", o->ext.empty() ? std::string("-d needs -f EXT")
                                                    : "-f " + o->ext + " is not one of " +
                                                          std::string(acceptedExtensionList()));
    }
    return 0;
}

std::string outputFor(const Options& o, const std::string& input) {
    if (!o.out.empty()) {
        return exportPath(o.out);
    }
    const std::filesystem::path name = std::filesystem::path(input).filename();
    return (std::filesystem::path(o.dir) / name.stem()).string() + "." + o.ext;
}

// The same file on the disk, or the same path where no file is yet.
std::string identity(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        return "inode " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
    }
    std::error_code ec;
    const auto canonical = std::filesystem::weakly_canonical(path, ec);
    return "path " + (ec ? path : canonical.string());
}

// Refuses outputs that are inputs, and a second output to the same file.
std::vector<Job> planJobs(const Options& o) {
    std::map<std::string, std::string> inputs;  // identity -> input
    for (const std::string& f : o.files) {
        inputs.emplace(identity(f), f);
    }
    std::map<std::string, std::string> outputs;  // identity -> input writing it
    std::vector<Job> jobs;
    for (const std::string& f : o.files) {
        Job job{f, outputFor(o, f), {}};
        const std::string id = identity(job.output);
        if (const auto in = inputs.find(id); in != inputs.end()) {
            job.refusal = "not converted: " + job.output + " is the input file " + in->second;
        } else if (const auto other = outputs.find(id); other != outputs.end()) {
            job.refusal =
                "not converted: " + job.output + " is already written for " + other->second;
        } else {
            outputs.emplace(id, f);
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

  private:
    RowSource& inner_;
    ProgressBar& bar_;
    std::size_t index_;
};

// Converts one file; returns the failure's words, or "".
std::string convertOne(const Job& job, bool view, ProgressBar& bar, std::size_t index) {
    if (!job.refusal.empty()) {
        return job.input + ": " + job.refusal;
    }
    InputFile file;
    if (!file.open(job.input)) {
        return file.error;
    }
    FileRowSource rows(file.rows(), view);
    if (!rows.valid()) {
        return job.input + ": not enough memory";
    }
    // A GIF reads its rows twice: once for its colours, once to write them.
    const bool gif = formatForExtension(pathExtension(job.output)) == ImageFormat::Gif;
    bar.start(index, rows.height() * (gif ? 2 : 1));
    CountingSource counted(rows, bar, index);
    HeadlessHost host(nullptr);  // the failure is told once, below
    const ExportResult r = exportRows(counted, job.output, 0, host);
    if (!r.ok() && rows.fileChanged()) {
        return file.changedError();
    }
    return r.ok() ? std::string() : job.input + ": " + describeExportResult(r);
}

}  // namespace

int runConvert(int argc, char** argv) {
    if (wantsHelp(argc, argv)) {
        std::fputs(convertHelp().data(), stdout);
        return kExitOk;
    }
    Options o;
    if (const int status = parse(argc, argv, &o); status != 0) {
        return status;
    }
    const std::vector<Job> jobs = planJobs(o);
    std::atomic<std::size_t> next{0};
    std::atomic<bool> anyFailed{false};
    {
        ProgressBar bar(isatty(STDERR_FILENO) == 1, jobs.size());
        auto work = [&] {
            for (std::size_t i; (i = next.fetch_add(1)) < jobs.size();) {
                const std::string failure = convertOne(jobs[i], o.view, bar, i);
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
