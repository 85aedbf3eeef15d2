// SPDX-License-Identifier: MIT
#include "app/application_main.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <csignal>
#include <cstdio>

#include "app/application_guard.h"
#include "app/command_line.h"
#include "app/document_controller.h"
#include "app/my_object.h"
#include "app/qt_host.h"
#include "app/startup_trace.h"
#include "app/startup_warmup.h"
#include "app/translations.h"
#include "platform/cleanup_signals.h"
#include "view/png_resource.h"

// The icons are built into the static library: their resource must be asked for.
static void initIconResource() {
    Q_INIT_RESOURCE(app_icon);
}

namespace {

void setIdentity() {
    QCoreApplication::setApplicationName(QStringLiteral("vrsview"));
    QCoreApplication::setOrganizationName(QStringLiteral("vrsview"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VRS_VERSION));
}

void print(const QString& text, bool toStandardError) {
    const QByteArray bytes = text.toLocal8Bit();
    std::FILE* stream = toStandardError ? stderr : stdout;
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

// Reads the command line before any display is needed: --help, --version and
// usage errors work anywhere. Returns the files to open, or ends the run.
bool readCommandLine(int& argc, char** argv, Translations& translations, int* status,
                     QList<QByteArray>* files, bool* compare, QString* noDisplay) {
    // The file names as the process got them: bytes, not necessarily UTF-8.
    QList<QByteArray> raw;
    for (int i = 0; i < argc; ++i) {
        raw.append(QByteArray(argv[i]));
    }
    QCoreApplication core(argc, argv);
    setIdentity();
    translations.install();
    const CommandLine line = parseCommandLine(QCoreApplication::arguments(), raw);
    if (line.done) {
        print(line.output, line.toStandardError);
        *status = line.status;
        return false;
    }
    *files = line.files;
    *compare = line.compare;
    *noDisplay = QCoreApplication::translate(
                     "Application",
                     "%1: no display to show windows on (set DISPLAY or WAYLAND_DISPLAY, or "
                     "start it in a desktop session).")
                     .arg(QCoreApplication::applicationName());
    return true;
}

// The application's icon, at each size drawn for it (data/icons).
QIcon applicationIcon() {
    initIconResource();
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage image = readPngResource(QStringLiteral(":/icons/%1.png").arg(size));
        if (!image.isNull()) {
            icon.addPixmap(QPixmap::fromImage(image));
        }
    }
    return icon;
}

// Gives the application its icon when its first window is about to be put
// on the screen: a Show event comes after the native window is made and
// before it is mapped. A window made while the application has an icon
// has it converted and sent to the X server twice (once as it is made,
// once more by QWidget); set afterwards, once.
class IconAtFirstShow : public QObject {
  public:
    explicit IconAtFirstShow(QIcon icon) : icon_(std::move(icon)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            QCoreApplication::instance()->removeEventFilter(this);
            QApplication::setWindowIcon(icon_);
        }
        return false;
    }

  private:
    QIcon icon_;
};

}  // namespace

int applicationMain(int argc, char** argv) {
    traceStep("main");
    // Read once, for the command-line pass and again for the windows.
    Translations translations;
    int status = 0;
    QList<QByteArray> files;
    bool compare = false;
    QString noDisplay;
    if (!readCommandLine(argc, argv, translations, &status, &files, &compare, &noDisplay)) {
        return status;
    }
    traceStep("command line read");
    StartupWarmup warmup;
    const std::unique_ptr<QApplication> application = makeApplication(argc, argv, noDisplay);
    warmup.applicationMade();
    traceStep("application made");
    setIdentity();
    translations.install();
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vrsview.vrsview"));
    // The documents decide when the application ends, not message boxes or
    // progress windows.
    QApplication::setQuitOnLastWindowClosed(false);
    // A save onto a FIFO whose reader went away then fails with EPIPE and is
    // told like any failed save, instead of ending the viewer and its windows.
    // signal() fails only for an invalid signal number.
    [[maybe_unused]] const auto previous = std::signal(SIGPIPE, SIG_IGN);
    // A logout, kill or Ctrl+C during a save removes its temporary file.
    vrs::removeTempsOnSignals();
    IconAtFirstShow iconSetter(applicationIcon());
    warmup.finish();
    application->installEventFilter(&iconSetter);
    traceStep("application ready");

    MyObject delegate;
    QtHost host;
    DocumentController controller(host, delegate);
    QObject::connect(&controller, &DocumentController::lastDocumentClosed, application.get(),
                     &QCoreApplication::quit, Qt::QueuedConnection);

    const bool launched =
        compare ? controller.launchComparison(files[0], files[1]) : controller.launch(files);
    if (!launched) {
        // Nothing opened: a cancelled Open dialog ends the run normally; files
        // that could not be opened (the user was told) end it with status 1.
        return files.isEmpty() ? 0 : 1;
    }
    const int result = QApplication::exec();
    // Documents closed just before the end are still waiting to be deleted.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
