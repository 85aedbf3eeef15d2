// SPDX-License-Identifier: MIT
// Files and an isolated controller for the viewer's widget tests.
#pragma once

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/document_controller.h"
#include "app/my_object.h"
#include "app/qt_host.h"
#include "qt_test_app.h"
#include "vrs_writer.h"

namespace apptest {

// The window's command with this shortcut, or null.
inline QAction* commandWithKey(QWidget* window, const QKeySequence& key) {
    for (QAction* action : window->actions()) {
        if (action->shortcuts().contains(key)) {
            return action;
        }
    }
    return nullptr;
}

// The label beside the size line that shows the zoom level, or null.
inline QLabel* zoomLabelBeside(QLabel* sizeText) {
    for (QLabel* label : sizeText->parentWidget()->findChildren<QLabel*>()) {
        if (label != sizeText && label->text().endsWith(QLatin1String(" %"))) {
            return label;
        }
    }
    return nullptr;
}

// Red top-left, green top-right, blue bottom-left, orange bottom-right.
inline vrs::testing::Rgb quadrantPixel(std::int64_t x, std::int64_t y, std::int64_t w,
                                       std::int64_t h) {
    const bool right = x >= w / 2;
    const bool bottom = y >= h / 2;
    if (!bottom) {
        return right ? vrs::testing::Rgb{0, 255, 0} : vrs::testing::Rgb{255, 0, 0};
    }
    return right ? vrs::testing::Rgb{255, 128, 0} : vrs::testing::Rgb{0, 0, 255};
}

inline QString writeQuadrants(const std::filesystem::path& path, std::uint32_t w, std::uint32_t h) {
    vrs::testing::VrsLayout layout;
    layout.width = w;
    layout.height = h;
    const bool ok = vrs::testing::writeVrsFile(
        path.string(), layout,
        [w, h](std::int64_t x, std::int64_t y) { return quadrantPixel(x, y, w, h); });
    return ok ? QString::fromStdString(path.string()) : QString();
}

// A controller whose alerts and Open dialog are recorded, not shown.
struct Harness {
    Harness() {
        testApplication();
        host.setAlertFunction([this](const QString& m) { alerts.push_back(m); });
        controller.setOpenDialog([this](QWidget*) {
            ++dialogs;
            return dialogAnswer;
        });
    }
    MyObject delegate;
    QtHost host;
    DocumentController controller{host, delegate};
    std::vector<QString> alerts;
    QStringList dialogAnswer;
    int dialogs = 0;
};

}  // namespace apptest
