// SPDX-License-Identifier: MIT
#include "app/export_panel.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStringList>

#include "export/export_format.h"

ExportPanel::ExportPanel(QWidget* parent) : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
}

void ExportPanel::setRequiredFileType(const QString& extension) {
    required_ = extension;
    setDefaultSuffix(extension);
    if (isVisible()) {
        requireOnChosenName();
    }
}

void ExportPanel::accept() {
    requireOnChosenName();
    QFileDialog::accept();
}

void ExportPanel::requireOnChosenName() {
    // The name typed, or the file selected in the list: what the dialog
    // would save under.
    const QString chosen = selectedFiles().value(0);
    if (chosen.isEmpty() || QFileInfo(chosen).isDir()) {
        return;
    }
    const QString required = QFile::decodeName(
        vrs::requiredExportName(QFile::encodeName(chosen).toStdString(), required_.toStdString())
            .c_str());
    if (required == chosen) {
        return;
    }
    // The dialog leaves a name field that has the focus as it is: the focus
    // steps aside while the name is put in, then comes back.
    const QPointer<QWidget> focus = focusWidget();
    if (focus) {
        focus->clearFocus();
    }
    selectFile(required);
    if (focus) {
        focus->setFocus();
    }
}
