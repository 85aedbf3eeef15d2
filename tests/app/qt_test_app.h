// SPDX-License-Identifier: MIT
// One QApplication for a whole test program, on the offscreen platform.
#pragma once

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

inline QApplication* testApplication() {
    static int argc = 1;
    static char name[] = "vrsview-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QStandardPaths::setTestModeEnabled(true);  // settings away from the user's
        // CTest runs test programs side by side: each gets settings of its own.
        static QTemporaryDir settingsDir;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        auto* a = new QApplication(argc, argv);
        QApplication::setApplicationName(QStringLiteral("vrsview-tests"));
        QApplication::setOrganizationName(QStringLiteral("vrsview-tests"));
        QApplication::setQuitOnLastWindowClosed(false);
        return a;
    }();
    return app;
}
