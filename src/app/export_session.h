// SPDX-License-Identifier: MIT
// A document's export, the object the document owns for it: the "Save
// Image" panel on the window with the options view (the format pop-up)
// lent below its browser, the extension every panel requires, and the
// export of the full image to the name the panel chose. The document's save
// commands, its format pick and the panel's end drive it. A document is
// never written back as a virtual-screen file.
#pragma once

#include <QByteArray>
#include <QFileDialog>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "decode/image.h"
#include "platform/host.h"

class ExportSession : public QObject {
    Q_OBJECT

  public:
    explicit ExportSession(vrs::Host& host, QObject* parent = nullptr);

    // The window layout's options view, lent to every panel. Its pop-up
    // tagged 1 lists the formats; every pop-up's pick goes to `picked`.
    void setOptionView(QWidget* optionView, const std::function<void(QObject*)>& picked);
    // Opens the panel on `window`, proposing the document's `name` with the
    // required extension in `folder` (none: the panel's own); a panel shown
    // already is raised instead. `ended` gets the panel and its result.
    void openPanel(QWidget* window, const QString& name, const QByteArray& folder,
                   const std::function<void(QFileDialog*, int)>& ended);
    QFileDialog* panel() const { return sp; }
    // A pick in the options view: the pop-up tagged 1 sets the extension
    // every later panel requires, the open one's at once.
    void pickFormat(QObject* sender);
    // Closes the panel and takes the options view back: the path chosen.
    QString closePanel();
    // Writes `full` to `path` in the format its extension names, unless
    // that is one of `openFiles` (the user is told why). exporting(true)
    // is told when the export begins, exporting(false) when it has ended.
    void write(std::shared_ptr<vrs::Image> full, std::int64_t progress, const QString& path,
               const QList<QByteArray>& openFiles);

  signals:
    void exporting(bool running);

  private:
    void lendOptionView(QFileDialog& panel);
    void takeBackOptionView();

    vrs::Host& host_;
    QPointer<QFileDialog> sp;
    QPointer<QWidget> optionView_;
    // Where the options view lives while no panel shows it.
    QPointer<QWidget> optionHome_;
};

// The extension the next export panel requires: "jpeg" at start-up, then the
// last format picked in any document's panel, until the process ends.
QString savePathExtension();
