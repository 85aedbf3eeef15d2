// SPDX-License-Identifier: MIT
// Driving a document's export panel as a user would: find it on the screen,
// pick a format in its options, type a name, press Save or Cancel.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/my_document.h"

namespace apptest {

// The one export panel on the screen, or null (a test failure) when there is
// none or more than one.
inline QFileDialog* shownPanel() {
    std::vector<QFileDialog*> shown;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* panel = qobject_cast<QFileDialog*>(w);
        if (panel != nullptr && panel->isVisible()) {
            shown.push_back(panel);
        }
    }
    EXPECT_EQ(shown.size(), 1u) << "export panels on the screen";
    return shown.size() == 1 ? shown.front() : nullptr;
}

inline int shownPanelCount() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QFileDialog*>(w) != nullptr && w->isVisible()) {
            ++count;
        }
    }
    return count;
}

inline QLineEdit* nameField(QFileDialog* panel) {
    return panel->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

inline QString typedName(QFileDialog* panel) {
    QLineEdit* field = nameField(panel);
    return field != nullptr ? field->text() : QStringLiteral("<no name field>");
}

inline QComboBox* formatPopUp(MyDocument* doc) {
    return doc->options()->findChild<QComboBox*>(QStringLiteral("formatPopUp"));
}

// Picks the item with this text with the arrow keys, as from the keyboard.
inline void pick(QComboBox* popUp, const QString& text) {
    const int target = popUp->findText(text);
    ASSERT_GE(target, 0) << text.toStdString();
    ASSERT_GE(popUp->count(), 2);
    popUp->setCurrentIndex(target == 0 ? 1 : target - 1);
    QKeyEvent key(QEvent::KeyPress, target == 0 ? Qt::Key_Up : Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(popUp, &key);
    ASSERT_EQ(popUp->currentIndex(), target);
}

// Types the name and presses the Save button.
inline void saveAs(QFileDialog* panel, const std::filesystem::path& path) {
    QLineEdit* field = nameField(panel);
    ASSERT_NE(field, nullptr);
    field->setText(QString::fromStdString(path.string()));
    auto* buttons = panel->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    ASSERT_NE(buttons, nullptr);
    QPushButton* save = buttons->button(QDialogButtonBox::Save);
    ASSERT_NE(save, nullptr);
    ASSERT_TRUE(save->isEnabled());
    save->click();
}

// Lets the panels that ended go, as the event loop would.
inline void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

inline std::vector<std::string> filesIn(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace apptest
