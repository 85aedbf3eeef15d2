#include "app/application_main.h"

#include <QApplication>
#include <QGuiApplication>
#include <csignal>

#include "app/document_controller.h"
#include "app/my_object.h"
#include "app/qt_host.h"
#include "app/startup_trace.h"

int applicationMain(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vrsview"));
    QApplication::setOrganizationName(QStringLiteral("vrsview"));
    QApplication::setApplicationVersion(QStringLiteral(VRS_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vrsview.vrsview"));
    // The documents decide when the application ends, not message boxes or
    // progress windows.
    QApplication::setQuitOnLastWindowClosed(false);
    // A save onto a FIFO whose reader went away then fails with EPIPE and is
    // told like any failed save, instead of ending the viewer and its windows.
    // signal() fails only for an invalid signal number.
    [[maybe_unused]] const auto previous = std::signal(SIGPIPE, SIG_IGN);
    traceStep("application ready");

    MyObject delegate;
    QtHost host;
    DocumentController controller(host, delegate);
    QObject::connect(&controller, &DocumentController::lastDocumentClosed, &application,
                     &QCoreApplication::quit, Qt::QueuedConnection);

    const QStringList files = QApplication::arguments().mid(1);
    if (!controller.launch(files)) {
        // Nothing opened: a cancelled Open dialog ends the run normally; files
        // that could not be opened (the user was told) end it with status 1.
        return files.isEmpty() ? 0 : 1;
    }
    const int status = QApplication::exec();
    // Documents closed just before the end are still waiting to be deleted.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}
