// SPDX-License-Identifier: MIT
#include "app/export_session.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <algorithm>
#include <string>

#include "app/busy_step.h"
#include "app/error_text.h"
#include "app/export_panel.h"
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

// The open file that writing `target` would destroy, or "".
QString openFileAt(const std::string& target, const QList<QByteArray>& openFiles) {
    for (const QByteArray& file : openFiles) {
        if (vrs::sameFile(target, file.toStdString())) {
            return displayName(fileNameOf(file));
        }
    }
    return {};
}

}  // namespace

QString savePathExtension() {
    return pathExtension;
}

ExportSession::ExportSession(vrs::Host& host, QObject* parent) : QObject(parent), host_(host) {}

void ExportSession::setOptionView(QWidget* optionView,
                                  const std::function<void(QObject*)>& picked) {
    optionView_ = optionView;
    if (!optionView_) {
        return;
    }
    for (QComboBox* popUp : optionView_->findChildren<QComboBox*>()) {
        if (popUp->property("tag").toInt() == 1 && popUp->count() == 0) {
            // The formats, one item each under its first extension, from
            // the export table; the pick of the run shown first.
            for (const vrs::FormatInfo& info : vrs::imageFormats()) {
                popUp->addItem(QString::fromLatin1(
                    info.extensions[0].data(), static_cast<qsizetype>(info.extensions[0].size())));
            }
            popUp->setCurrentIndex(std::max(0, popUp->findText(pathExtension)));
        }
        connect(popUp, &QComboBox::textActivated, this, [picked, popUp] { picked(popUp); });
    }
}

void ExportSession::openPanel(QWidget* window, const QString& name, const QByteArray& folder,
                              const std::function<void(QFileDialog*, int)>& ended) {
    if (sp && sp->isVisible()) {
        // The options view can be in one panel only.
        sp->raise();
        sp->activateWindow();
        return;
    }
    auto* panel = new ExportPanel(window);
    sp = panel;
    lendOptionView(*panel);
    panel->setWindowTitle(QCoreApplication::translate("MyDocument", "Save Image"));
    panel->setRequiredFileType(pathExtension);
    if (!folder.isEmpty()) {
        panel->setDirectory(QFile::decodeName(folder));
    }
    panel->selectFile(proposedName(name, pathExtension));
    connect(panel, &QDialog::finished, this, [panel, ended](int result) { ended(panel, result); });
    panel->open();
}

void ExportSession::pickFormat(QObject* sender) {
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

QString ExportSession::closePanel() {
    QString path;
    if (sp) {
        path = sp->selectedFiles().value(0);
        sp->close();
        takeBackOptionView();
        sp->deleteLater();
    }
    return path;
}

void ExportSession::write(std::shared_ptr<vrs::Image> full, std::int64_t progress,
                          const QString& path, const QList<QByteArray>& openFiles) {
    if (!full) {
        return;
    }
    // The panel leaves the screen first; failures reach the user through the
    // host's alert, in the viewer's words.
    const std::string target = QFile::encodeName(path).toStdString();
    if (const QString open = openFileAt(vrs::exportPath(target), openFiles); !open.isEmpty()) {
        host_.alert(ErrorText::writeOntoOpenFile(QFileInfo(path).fileName(), open).toStdString());
        return;
    }
    const BusyStep busy;
    struct Exporting {
        ExportSession& session;
        ~Exporting() { emit session.exporting(false); }
    } running{*this};
    emit exporting(true);
    const auto wording = [](const vrs::ExportResult& result) {
        return ErrorText::exportFailure(result).toStdString();
    };
    if (const vrs::PlanarBitmap* bitmap = full->rep().get()) {
        vrs::BitmapRowSource rows(*bitmap);
        PumpedRows pumped(rows, host_);
        vrs::exportRows(pumped, target, progress, host_, vrs::systemFileOps(), {}, wording);
    } else {
        vrs::exportImage(*full, target, progress, host_, vrs::systemFileOps(), wording);
    }
}

void ExportSession::lendOptionView(QFileDialog& panel) {
    if (!optionView_) {
        return;
    }
    if (!optionHome_) {
        optionHome_ = optionView_->parentWidget();
    }
    if (auto* grid = qobject_cast<QGridLayout*>(panel.layout())) {
        // Qt's own file dialog: a new row below the browser and its buttons.
        grid->addWidget(optionView_, grid->rowCount(), 0, 1, grid->columnCount());
    } else if (panel.layout() != nullptr) {
        panel.layout()->addWidget(optionView_);
    } else {
        optionView_->setParent(&panel);
    }
    optionView_->show();
}

void ExportSession::takeBackOptionView() {
    if (!optionView_ || !optionHome_) {
        return;
    }
    optionView_->hide();
    optionView_->setParent(optionHome_);
}
