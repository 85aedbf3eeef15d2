// SPDX-License-Identifier: MIT
#include "app/qt_host.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <memory>

#include "app/my_progress_window.h"

namespace {

class QtProgressWindow : public vrs::ProgressWindow {
  public:
    void setTitle(std::string_view title) override {
        window_.window()->setWindowTitle(
            QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
    }
    void display() override { window_.window()->repaint(); }
    void setMaxValue(double max) override {
        window_.indicator()->setMaximum(static_cast<int>(std::clamp(max, 0.0, 1e9)));
    }
    void setDoubleValue(double value) override {
        window_.indicator()->setValue(static_cast<int>(std::clamp(value, 0.0, 1e9)));
    }
    void setIndeterminate(bool indeterminate) override { window_.setIndeterminate(indeterminate); }
    void startAnimation() override { window_.startAnimation(); }

  private:
    MyProgressWindow window_;
};

}  // namespace

QtHost::QtHost(Clock clock) : clock_(std::move(clock)) {}

void QtHost::alert(const std::string& message) {
    const QString text = QString::fromStdString(message);
    if (alertFunction_) {
        alertFunction_(text);
    } else {
        showAlert(text);
    }
}

void QtHost::showAlert(const QString& message) {
    // An empty title: Qt shows the application name in the title bar instead.
    QMessageBox box(QMessageBox::NoIcon, QString(), message, QMessageBox::NoButton);
    box.addButton(QCoreApplication::translate("QtHost", "OK"), QMessageBox::AcceptRole);
    box.exec();
}

std::uint32_t QtHost::tickCount() {
    return clock_();
}

void QtHost::runEventLoop(double seconds) {
    const double ms = std::clamp(std::floor(seconds * 1000.0), 0.0, 1e9);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, static_cast<int>(ms));
}

std::unique_ptr<vrs::ProgressWindow> QtHost::makeProgressWindow() {
    return std::make_unique<QtProgressWindow>();
}

void QtHost::setAlertFunction(AlertFunction alertFunction) {
    alertFunction_ = std::move(alertFunction);
}
