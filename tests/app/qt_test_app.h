// One QApplication for a whole test program, on the offscreen platform.
#pragma once

#include <QApplication>
#include <QStandardPaths>

inline QApplication* testApplication() {
    static int argc = 1;
    static char name[] = "vrsview-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QStandardPaths::setTestModeEnabled(true);  // settings away from the user's
        auto* a = new QApplication(argc, argv);
        QApplication::setApplicationName(QStringLiteral("vrsview-tests"));
        QApplication::setOrganizationName(QStringLiteral("vrsview-tests"));
        QApplication::setQuitOnLastWindowClosed(false);
        return a;
    }();
    return app;
}
