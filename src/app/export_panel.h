// SPDX-License-Identifier: MIT
// The export panel: Qt's own save dialog that requires a file type. The name
// it saves under always ends with the required format's extension, so the
// file holds the format its name says.
#pragma once

#include <QFileDialog>
#include <QString>

class ExportPanel : public QFileDialog {
    Q_OBJECT

  public:
    explicit ExportPanel(QWidget* parent);

    // Makes the panel give the chosen name this extension, at once in the
    // name being typed and again when the name is accepted.
    void setRequiredFileType(const QString& extension);

  public slots:
    void accept() override;

  private:
    // Puts the chosen name, with the required extension, into the name field.
    void requireOnChosenName();

    QString required_;
};
