// SPDX-License-Identifier: MIT
// Saving a document: the export panel with its format pop-up, and the export
// of the full image when the panel is accepted. A document is never written
// back as a virtual-screen file.
#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <string>
#include <utility>

#include "app/busy_step.h"
#include "app/error_text.h"
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

// The name field of Qt's own file dialog.
QLineEdit* nameField(QFileDialog& panel) {
    return panel.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

// `name` ending in `extension`: an export extension it already ends in is
// replaced, any other suffix is kept and the extension added after it.
QString withExtension(const QString& name, const QString& extension) {
    if (name.isEmpty() || extension.isEmpty()) {
        return name;
    }
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    QString base = name;
    if (dot > slash + 1 && vrs::formatForExtension(name.mid(dot + 1).toStdString())) {
        base = name.left(dot);
    }
    return base + QLatin1Char('.') + extension;
}

// The proposed file name: the document's name without its own extension
// (a leading dot starts none), with the required one.
QString proposedName(const QString& displayName, const QString& extension) {
    const qsizetype dot = displayName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? displayName.left(dot) : displayName;
    return extension.isEmpty() ? base : base + QLatin1Char('.') + extension;
}

// Forgets the file selected in the panel's lists (the icon and detail views
// share one selection). Qt's dialog returns, and asks before replacing, a
// selected file rather than the name in its field.
void deselectListedFile(QFileDialog& panel) {
    for (const QString& name : {QStringLiteral("listView"), QStringLiteral("treeView")}) {
        auto* view = panel.findChild<QAbstractItemView*>(name);
        if (view != nullptr && view->selectionModel() != nullptr) {
            view->selectionModel()->clearSelection();
        }
    }
}

// Makes the panel give the chosen name this extension, and shows it in the
// name being typed at once; the panel saves under that name.
void setRequiredFileType(QFileDialog& panel, const QString& extension) {
    panel.setDefaultSuffix(extension);
    deselectListedFile(panel);
    if (QLineEdit* field = nameField(panel)) {
        field->setText(withExtension(field->text(), extension));
    }
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
    auto* panel = new QFileDialog(window_.get());
    sp = panel;
    panel->setOption(QFileDialog::DontUseNativeDialog, true);
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setFileMode(QFileDialog::AnyFile);
    lendOptionView(*panel);
    panel->setWindowTitle(tr("Save Image"));
    panel->setDefaultSuffix(pathExtension);
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
    if (sp) {
        setRequiredFileType(*sp, pathExtension);
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
