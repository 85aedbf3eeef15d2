// SPDX-License-Identifier: MIT
#include "app/folder_files.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace {

bool isPictureName(const QString& name) {
    // The Open dialog's "*.vrs" matches whatever the case.
    return name.endsWith(QLatin1String(".vrs"), Qt::CaseInsensitive) && name.size() > 4;
}

// A strict order: names the collator holds equal ("A.vrs", "a.vrs") are
// told apart by their characters.
bool before(const QString& a, const QString& b, const QCollator& collator) {
    const int order = collator.compare(a, b);
    return order != 0 ? order < 0 : a < b;
}

}  // namespace

QCollator fileNameCollator() {
    QLocale locale;
    if (locale.language() == QLocale::C) {
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    }
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

QString neighbourName(const QStringList& names, const QString& current, int step,
                      const QCollator& collator) {
    QString best;
    for (const QString& name : names) {
        if (!isPictureName(name)) {
            continue;
        }
        if (step > 0 && before(current, name, collator) &&
            (best.isEmpty() || before(name, best, collator))) {
            best = name;
        } else if (step < 0 && before(name, current, collator) &&
                   (best.isEmpty() || before(best, name, collator))) {
            best = name;
        }
    }
    return best;
}

QString neighbourFile(const QString& path, int step) {
    const QFileInfo info(path);
    const QDir folder = info.absoluteDir();
    const QStringList names = folder.entryList(QDir::Files | QDir::NoDotAndDotDot);
    const QString name = neighbourName(names, info.fileName(), step, fileNameCollator());
    return name.isEmpty() ? QString() : folder.filePath(name);
}
