// SPDX-License-Identifier: MIT
#include "app/folder_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QFile>
#include <QLocale>

#include "app/local_path.h"

namespace {

bool isPictureName(const QByteArray& name) {
    // The Open dialog's "*.vrs" matches whatever the case.
    return name.size() > 4 && name.right(4).toLower() == ".vrs";
}

// A strict order: names shown alike ("A.vrs", "a.vrs", or two names whose
// bytes are not UTF-8) are told apart by their bytes.
bool before(const QByteArray& a, const QByteArray& b, const QCollator& collator) {
    const int order = collator.compare(QFile::decodeName(a), QFile::decodeName(b));
    return order != 0 ? order < 0 : a < b;
}

// The names of the regular files of a folder (links followed), as bytes;
// hidden files left out, as a file manager does.
QList<QByteArray> filesOf(const QByteArray& folder) {
    QList<QByteArray> names;
    DIR* dir = ::opendir(folder.constData());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st {};
        if (entry->d_name[0] != '.' && ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 &&
            S_ISREG(st.st_mode)) {
            names.append(QByteArray(entry->d_name));
        }
    }
    // A folder only read: its close has nothing to report.
    [[maybe_unused]] const int closed = ::closedir(dir);
    return names;
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

QByteArray neighbourName(const QList<QByteArray>& names, const QByteArray& current, int step,
                         const QCollator& collator) {
    QByteArray best;
    for (const QByteArray& name : names) {
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

QByteArray edgeName(const QList<QByteArray>& names, int step, const QCollator& collator) {
    QByteArray best;
    for (const QByteArray& name : names) {
        if (isPictureName(name) && (best.isEmpty() || (step > 0 ? before(best, name, collator)
                                                                : before(name, best, collator)))) {
            best = name;
        }
    }
    return best;
}

namespace {

QByteArray inFolder(const QByteArray& folder, const QByteArray& name) {
    if (name.isEmpty()) {
        return {};
    }
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

}  // namespace

QByteArray neighbourFile(const QByteArray& path, int step) {
    const QByteArray folder = folderOf(absolutePath(path));
    return inFolder(folder,
                    neighbourName(filesOf(folder), fileNameOf(path), step, fileNameCollator()));
}

QByteArray edgeFile(const QByteArray& path, int step) {
    const QByteArray folder = folderOf(absolutePath(path));
    return inFolder(folder, edgeName(filesOf(folder), step, fileNameCollator()));
}
