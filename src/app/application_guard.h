// SPDX-License-Identifier: MIT
// Constructing the QApplication where no display can be reached: Qt would
// abort the process; instead one line is printed and the run ends with 1.
#pragma once

#include <QApplication>
#include <QString>
#include <memory>

// The application, or the process ends with status 1 after printing `message`
// (one line) on standard error when Qt finds no platform to run on. Qt's own
// messages while it looks for one are held back, and passed on when it finds one.
std::unique_ptr<QApplication> makeApplication(int& argc, char** argv, const QString& message);
