// SPDX-License-Identifier: MIT
// Saving a document: the export panel with its format pop-up, and the export
// of the full image when the panel is accepted. A document is never written
// back as a virtual-screen file.
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <algorithm>
#include <string>
#include <utility>

#include "app/busy_step.h"
#include "app/error_text.h"
#include "app/export_panel.h"
#include "app/my_document.h"

#include "app/local_path.h"
#include "app/pumped_rows.h"
#include "export/export_format.h"
#include "export/export_image.h"
#include "platform/file_identity.h"

namespace {

// The extension every export panel requires, shared by all documents for the
// life of the process.
QString pathExtension = QStringLiteral("jpeg");

// The proposed file name: the document's name without its own extension
// (a leading dot starts none), with the required one.
QString proposedName(const QString& displayName, const QString& extension) {
    const qsizetype dot = displayName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? displayName.left(dot) : displayName;
    return extension.isEmpty() ? base : base + QLatin1Char('.') + extension;
}

}  // namespace

QString savePathExtension() {
    return pathExtension;
}

void MyDocument::saveDocument(QObject* /*sender*/) {
    save_convert();
}

void MyDocument::saveDocumentAs(QObject* sender) {
    saveDocument(sender);
}

void MyDocument::save_convert() {
    if (!myimage) {
        return;
    }
    if (sp && sp->isVisible()) {
        // The options view can be in one panel only.
        sp->raise();
        sp->activateWindow();
        return;
    }
    const QString name = displayName();
    auto* panel = new ExportPanel(window_.get());
    sp = panel;
    lendOptionView(*panel);
    panel->setWindowTitle(tr("Save Image"));
    panel->setRequiredFileType(pathExtension);
    if (!filePath_.isEmpty()) {
        panel->setDirectory(QFile::decodeName(folderOf(filePath_)));
    }
    panel->selectFile(proposedName(name, pathExtension));
    connect(panel, &QDialog::finished, this,
            [this, panel](int result) { savePanelDidEnd(panel, result, nullptr); });
    panel->open();
}

void MyDocument::myAction(QObject* sender) {
    if (sender == nullptr || sender->property("tag").toInt() != 1) {
        return;
    }
    const auto* popUp = qobject_cast<const QComboBox*>(sender);
    if (popUp == nullptr) {
        return;
    }
    pathExtension = popUp->currentText();
    if (auto* panel = qobject_cast<ExportPanel*>(sp.data())) {
        panel->setRequiredFileType(pathExtension);
    }
}

void MyDocument::savePanelDidEnd(QFileDialog* /*panel*/, int returnCode, void* /*contextInfo*/) {
    QString path;
    if (sp) {
        path = sp->selectedFiles().value(0);
        sp->close();
        takeBackOptionView();
        sp->deleteLater();
    }
    if (returnCode != QDialog::Accepted || path.isEmpty() || !myimage) {
        return;
    }
    // The panel leaves the screen first; failures reach the user through the
    // host's alert, in the viewer's words.
    const std::string target = QFile::encodeName(path).toStdString();
    if (const QString open = openFileAt(vrs::exportPath(target)); !open.isEmpty()) {
        host_.alert(ErrorText::writeOntoOpenFile(QFileInfo(path).fileName(), open).toStdString());
        return;
    }
    const BusyStep busy;
    // The file changing on the disk meanwhile is shown once this ends.
    struct Exporting {
        MyDocument& document;
        ~Exporting() { document.exportFinished(); }
    } exporting{*this};
    exporting_ = true;
    const auto wording = [](const vrs::ExportResult& result) {
        return ErrorText::exportFailure(result).toStdString();
    };
    if (const vrs::PlanarBitmap* bitmap = myimage->rep().get()) {
        vrs::BitmapRowSource rows(*bitmap);
        PumpedRows pumped(rows, host_);
        vrs::exportRows(pumped, target, progress, host_, vrs::systemFileOps(), {}, wording);
    } else {
        vrs::exportImage(*myimage, target, progress, host_, vrs::systemFileOps(), wording);
    }
}

void MyDocument::setOpenFiles(OpenFilesFunction openFiles) {
    openFiles_ = std::move(openFiles);
}

QString MyDocument::openFileAt(const std::string& target) const {
    QList<QByteArray> open = openFiles_ ? openFiles_() : QList<QByteArray>();
    if (!filePath_.isEmpty()) {
        open.append(filePath_);
    }
    for (const QByteArray& file : open) {
        if (vrs::sameFile(target, file.toStdString())) {
            return ::displayName(fileNameOf(file));
        }
    }
    return {};
}

void MyDocument::connectOptionView() {
    if (!optionView) {
        return;
    }
    for (QComboBox* popUp : optionView->findChildren<QComboBox*>()) {
        if (popUp->property("tag").toInt() == 1 && popUp->count() == 0) {
            // The formats, one item each under its first extension, from
            // the export table; the pick of the run shown first.
            for (const vrs::FormatInfo& info : vrs::imageFormats()) {
                popUp->addItem(QString::fromLatin1(
                    info.extensions[0].data(), static_cast<qsizetype>(info.extensions[0].size())));
            }
            popUp->setCurrentIndex(std::max(0, popUp->findText(pathExtension)));
        }
        connect(popUp, &QComboBox::textActivated, this, [this, popUp] { myAction(popUp); });
    }
}

void MyDocument::lendOptionView(QFileDialog& panel) {
    if (!optionView) {
        return;
    }
    if (!optionHome_) {
        optionHome_ = optionView->parentWidget();
    }
    if (auto* grid = qobject_cast<QGridLayout*>(panel.layout())) {
        // Qt's own file dialog: a new row below the browser and its buttons.
        grid->addWidget(optionView, grid->rowCount(), 0, 1, grid->columnCount());
    } else if (panel.layout() != nullptr) {
        panel.layout()->addWidget(optionView);
    } else {
        optionView->setParent(&panel);
    }
    optionView->show();
}

void MyDocument::takeBackOptionView() {
    if (!optionView || !optionHome_) {
        return;
    }
    optionView->hide();
    optionView->setParent(optionHome_);
}
