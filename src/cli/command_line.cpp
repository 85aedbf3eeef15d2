// SPDX-License-Identifier: MIT
#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>

#include "cli/cli_common.h"
#include "cli/shown_name.h"

namespace vrs::cli {

struct CommandLine::Parser {
    CLI::App app;
};

CommandLine::CommandLine(std::string command)
    : command_(std::move(command)), parser_(std::make_unique<Parser>()) {
    CLI::App& app = parser_->app;
    app.name("vrstool " + command_);
    app.set_help_flag();  // --help is answered before parsing, with our own text
    app.allow_extras();   // unknown options are worded below
}

CommandLine::~CommandLine() = default;

void CommandLine::flag(const std::string& names, bool* value) {
    parser_->app.add_flag(names, *value);
}

void CommandLine::option(const std::string& names, std::string* value) {
    parser_->app.add_option(names, *value)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

void CommandLine::options(const std::string& names, std::vector<std::string>* values) {
    parser_->app.add_option(names, *values)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->allow_extra_args(false);
}

void CommandLine::operands(std::vector<std::string>* values) {
    parser_->app.add_option("FILE", *values);
}

namespace {

// "--output: 1 required TEXT missing" becomes "-o needs a value".
std::string reword(CLI::App& app, const CLI::ParseError& e) {
    const std::string what = e.what();
    const std::size_t colon = what.find(':');
    if (e.get_name() == "ArgumentMismatch" && colon != std::string::npos &&
        what.find("missing") != std::string::npos) {
        const std::string name = what.substr(0, colon);
        const CLI::Option* option = app.get_option_no_throw(name);
        const bool hasShort = option != nullptr && !option->get_snames().empty();
        return (hasShort ? "-" + option->get_snames().front() : name) + " needs a value";
    }
    return what;
}

}  // namespace

int CommandLine::parse(int argc, char** argv) {
    CLI::App& app = parser_->app;
    // CLI11 takes the arguments last first.
    std::vector<std::string> args(argv, argv + argc);
    std::reverse(args.begin(), args.end());
    try {
        app.parse(args);
    } catch (const CLI::ParseError& e) {
        return usageError(command_, reword(app, e));
    }
    for (const std::string& extra : app.remaining()) {
        if (extra != "--") {
            return usageError(command_, "unknown option " + shownName(extra));
        }
    }
    return 0;
}

}  // namespace vrs::cli
