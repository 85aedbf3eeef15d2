// SPDX-License-Identifier: MIT
// The application delegate.
#pragma once

#include <QObject>

class QApplication;

class MyObject : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;
    // The application never makes an empty, untitled document: not at launch,
    // not when the last window has gone.
    bool applicationShouldOpenUntitledFile(QApplication* application) const;
};
