// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSysInfo>
#include <QUrl>
#include <array>

#include "app/local_path.h"
#include "app/menus_tr.h"

namespace {

// The options QGuiApplication and QApplication take from the command line
// themselves: accepted here so that they reach Qt, left out of the help.
constexpr std::array kQtValueOptions = {"platform",
                                        "platformpluginpath",
                                        "platformtheme",
                                        "plugin",
                                        "qwindowgeometry",
                                        "qwindowicon",
                                        "qwindowtitle",
                                        "display",
                                        "geometry",
                                        "style",
                                        "stylesheet",
                                        "session",
                                        "name",
                                        "title",
                                        "visual",
                                        "fontengine",
                                        "dialogs",
                                        "qmljsdebugger"};
constexpr std::array kQtFlagOptions = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

void addQtOptions(QCommandLineParser& parser) {
    for (const char* name : kQtValueOptions) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : kQtFlagOptions) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// The raw bytes of each positional argument: the arguments the parser kept,
// found in order among the raw ones.
QList<QByteArray> rawPositionals(const QStringList& positionals, const QStringList& arguments,
                                 const QList<QByteArray>& raw) {
    QList<QByteArray> result;
    qsizetype next = 1;
    for (const QString& positional : positionals) {
        while (next < arguments.size() && arguments[next] != positional) {
            ++next;
        }
        result.append(next < raw.size() ? raw[next] : QFile::encodeName(positional));
        ++next;
    }
    return result;
}

}  // namespace

QByteArray localPathOfArgument(const QByteArray& argument) {
    if (argument.left(5).compare("file:", Qt::CaseInsensitive) == 0) {
        QUrl url(QString::fromUtf8(argument));
        // "file://localhost/..." and "file://HOSTNAME/..." name this machine;
        // another host's file is not here, and is left as given.
        const QString host = url.host();
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
            host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0) {
            url.setHost(QString());
        }
        if (url.isValid() && url.isLocalFile() && url.host().isEmpty()) {
            return localPathOfUrl(url);
        }
    }
    return argument;
}

CommandLine parseCommandLine(const QStringList& arguments, const QList<QByteArray>& raw) {
    QCommandLineParser parser;
    // Qt's own options are single words after one dash ("-platform xcb").
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        CommandLineText::tr("Shows virtual-screen capture files (.vrs), each in its own window.\n"
                            "Without a file, asks for some with the Open dialog."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption compare(
        QStringLiteral("compare"),
        CommandLineText::tr("Compare the two files given in one window: B flips between them, "
                            "D shows the difference, N goes to the next change."));
    parser.addOption(compare);
    addQtOptions(parser);
    parser.addPositionalArgument(QStringLiteral("files"),
                                 CommandLineText::tr("Files to open: paths or file:// URLs."),
                                 CommandLineText::tr("[FILE...]"));

    CommandLine result;
    // Named as users call it, not by the path it was started from.
    const QString program = QStringLiteral("vrsview");
    const auto usageError = [&](const QString& error) {
        result.done = true;
        result.status = 2;
        result.toStandardError = true;
        result.output =
            QStringLiteral("%1: %2\n%3\n")
                .arg(program, error,
                     CommandLineText::tr("Try '%1 --help' for more information.").arg(program));
        return result;
    };
    if (!parser.parse(arguments)) {
        return usageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        result.done = true;
        result.output = parser.helpText();
        // Qt's usage line names the program by the path it was started from.
        const QString started = QCoreApplication::arguments().value(0);
        const auto at = started.isEmpty() ? -1 : result.output.indexOf(started);
        if (at >= 0) {
            result.output.replace(at, started.size(), program);
        }
        return result;
    }
    if (parser.isSet(version)) {
        result.done = true;
        result.output = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                      QCoreApplication::applicationVersion());
        return result;
    }
    const QList<QByteArray> bytes =
        rawPositionals(parser.positionalArguments(), arguments,
                       raw.size() == arguments.size() ? raw : QList<QByteArray>());
    for (const QByteArray& argument : bytes) {
        result.files.append(localPathOfArgument(argument));
    }
    result.compare = parser.isSet(compare);
    if (result.compare && result.files.size() != 2) {
        return usageError(CommandLineText::tr("--compare takes two files, A and B."));
    }
    return result;
}
