// SPDX-License-Identifier: MIT
#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

void install(QCoreApplication& application, const QString& name, const QString& folder) {
    auto* translator = new QTranslator(&application);
    if (translator->load(QLocale(), name, QStringLiteral("_"), folder) &&
        QCoreApplication::installTranslator(translator)) {
        return;
    }
    delete translator;
}

}  // namespace

void installTranslations(QCoreApplication& application) {
    // Qt's dialogs (file dialog, message box buttons, print dialog).
    install(application, QStringLiteral("qtbase"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    // Built into the program (translations/, qt_add_translations).
    install(application, QStringLiteral("vrsview"), QStringLiteral(":/i18n"));
}
