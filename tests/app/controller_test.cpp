// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "app/my_document.h"
#include "app_test_support.h"
#include "test_support.h"

namespace {

using apptest::Harness;
using apptest::writeQuadrants;
using vrs::testing::ScratchDir;

TEST(Controller, LaunchWithoutFilesAsksAndOpensNothingWhenCancelled) {
    Harness h;
    EXPECT_FALSE(h.controller.launch({}));
    EXPECT_EQ(h.dialogs, 1);
    EXPECT_TRUE(h.controller.documents().empty());
    EXPECT_TRUE(h.alerts.empty());
    for (QWidget* w : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(w->isVisible() && qobject_cast<DocumentWindow*>(w) != nullptr);
    }
    EXPECT_FALSE(h.delegate.applicationShouldOpenUntitledFile(nullptr));
}

TEST(Controller, LaunchWithoutFilesOpensWhatTheDialogChose) {
    ScratchDir dir;
    Harness h;
    h.dialogAnswer = {writeQuadrants(dir / "one.vrs", 20, 10),
                      writeQuadrants(dir / "two.vrs", 10, 20)};
    EXPECT_TRUE(h.controller.launch({}));
    EXPECT_EQ(h.dialogs, 1);
    EXPECT_EQ(h.controller.documents().size(), 2u);
}

TEST(Controller, LaunchWithFilesDoesNotAsk) {
    ScratchDir dir;
    Harness h;
    EXPECT_TRUE(h.controller.launch({writeQuadrants(dir / "one.vrs", 20, 10)}));
    EXPECT_EQ(h.dialogs, 0);
    EXPECT_EQ(h.controller.documents().size(), 1u);
}

TEST(Controller, OpeningAnOpenFileAgainRaisesItsDocument) {
    ScratchDir dir;
    Harness h;
    const QString path = writeQuadrants(dir / "same.vrs", 20, 10);
    MyDocument* first = h.controller.openDocument(path);
    ASSERT_NE(first, nullptr);
    const QString other = QString::fromStdString((dir.path() / "." / "same.vrs").string());
    EXPECT_EQ(h.controller.openDocument(other), first);
    EXPECT_EQ(h.controller.documents().size(), 1u);
    EXPECT_EQ(h.controller.recentFiles().files().value(0), QFileInfo(path).canonicalFilePath());
}

TEST(Controller, FilesThatCannotBeOpenedAreToldAndMakeNoDocument) {
    ScratchDir dir;
    Harness h;
    const QString missing = QString::fromStdString((dir / "missing.vrs").string());
    const QString folder = QString::fromStdString(dir.path().string());
    EXPECT_FALSE(h.controller.launch({missing, folder}));
    EXPECT_TRUE(h.controller.documents().empty());
    ASSERT_EQ(h.alerts.size(), 2u);
    EXPECT_TRUE(h.alerts[0].contains(QStringLiteral("missing.vrs")));
    EXPECT_TRUE(h.alerts[1].contains(QStringLiteral("folder")));
    EXPECT_EQ(h.dialogs, 0);
}

TEST(Controller, AUrlOfAnotherComputerIsToldThatOnlyLocalFilesAreRead) {
    Harness h;
    const QString urls[] = {QStringLiteral("file://otherhost/tmp/shot.vrs"),
                            QStringLiteral("http://example.com/shot.vrs")};
    for (const QString& url : urls) {
        EXPECT_EQ(h.controller.openDocument(url), nullptr);
    }
    ASSERT_EQ(h.alerts.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(h.alerts[i].toStdString(),
                  "\"" + urls[i].toStdString() +
                      "\" could not be opened: the viewer reads only files on this computer. "
                      "Copy the file here first.");
    }
}

TEST(Controller, LastClosedWindowEndsTheRun) {
    ScratchDir dir;
    Harness h;
    int ended = 0;
    QObject::connect(&h.controller, &DocumentController::lastDocumentClosed, [&ended] { ++ended; });
    MyDocument* a = h.controller.openDocument(writeQuadrants(dir / "a.vrs", 20, 10));
    MyDocument* b = h.controller.openDocument(writeQuadrants(dir / "b.vrs", 20, 10));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    a->window()->close();
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(h.controller.documents().size(), 1u);
    h.controller.closeAll();
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(h.controller.documents().empty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

namespace {

TEST(Controller, FilesDroppedOnAWindowOpen) {
    ScratchDir dir;
    Harness h;
    MyDocument* first = h.controller.openDocument(writeQuadrants(dir / "first.vrs", 20, 10));
    ASSERT_NE(first, nullptr);
    const QString dropped = writeQuadrants(dir / "dropped.vrs", 12, 8);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(dropped)});
    const QPointF at(10, 10);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(first->window(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(first->window(), &drop);
    ASSERT_EQ(h.controller.documents().size(), 2u);
    EXPECT_EQ(h.controller.documents()[1]->displayName(), QStringLiteral("dropped.vrs"));

    QMimeData text;
    text.setText(QStringLiteral("not a file"));
    QDragEnterEvent refused(at.toPoint(), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QCoreApplication::sendEvent(first->window(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

}  // namespace

namespace {

QMenu* recentMenu(QWidget* window) {
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        if (menu->title() == QStringLiteral("Open &Recent")) {
            return menu;
        }
    }
    return nullptr;
}

TEST(Controller, OpenRecentListsNewestFirstAndReopens) {
    ScratchDir dir;
    Harness h;
    h.controller.recentFiles().clear();
    const QString older = writeQuadrants(dir / "older.vrs", 20, 10);
    MyDocument* first = h.controller.openDocument(older);
    MyDocument* second = h.controller.openDocument(writeQuadrants(dir / "newer.vrs", 20, 10));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    first->window()->close();
    ASSERT_EQ(h.controller.documents().size(), 1u);

    QMenu* menu = recentMenu(second->window());
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    const QList<QAction*> actions = menu->actions();
    ASSERT_GE(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("newer.vrs"));
    EXPECT_EQ(actions[1]->text(), QStringLiteral("older.vrs"));
    actions[1]->trigger();
    ASSERT_EQ(h.controller.documents().size(), 2u);
    EXPECT_EQ(h.controller.documents()[1]->displayName(), QStringLiteral("older.vrs"));
    h.controller.recentFiles().clear();
}

}  // namespace
