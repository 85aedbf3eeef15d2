// SPDX-License-Identifier: MIT
#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace {

// The translator of `name` for the locale, or null when there is none.
std::unique_ptr<QTranslator> found(const QString& name, const QString& folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(), name, QStringLiteral("_"), folder)) {
        return nullptr;
    }
    return translator;
}

std::vector<std::unique_ptr<QTranslator>> readTranslations() {
    std::vector<std::unique_ptr<QTranslator>> translators;
    auto keep = [&translators](std::unique_ptr<QTranslator> translator) {
        if (translator) {
            translators.push_back(std::move(translator));
        }
    };
    // Qt's dialogs (file dialog, message box buttons, print dialog), then
    // the program's own, built in (translations/, qt_add_translations).
    keep(found(QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    keep(found(QStringLiteral("vrsview"), QStringLiteral(":/i18n")));
    return translators;
}

}  // namespace

void installTranslations(QCoreApplication& application) {
    for (std::unique_ptr<QTranslator>& translator : readTranslations()) {
        if (QCoreApplication::installTranslator(translator.get())) {
            translator.release()->setParent(&application);
        }
    }
}

void Translations::install() {
    if (!read_) {
        found_ = readTranslations();
        read_ = true;
    }
    for (const std::unique_ptr<QTranslator>& translator : found_) {
        [[maybe_unused]] const bool installed =
            QCoreApplication::installTranslator(translator.get());
    }
}
