// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "app/my_document.h"
#include "app/recent_files.h"
#include "app_test_support.h"
#include "test_support.h"

namespace {

using apptest::Harness;
using apptest::writeQuadrants;
using vrs::testing::ScratchDir;

TEST(Controller, LaunchWithoutFilesAsksAndOpensNothingWhenCancelled) {
    Harness h;
    EXPECT_FALSE(h.controller.launch(QStringList()));
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
    EXPECT_TRUE(h.controller.launch(QStringList()));
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

TEST(Controller, AnOpenedFileIsWrittenToTheSettingsOnceItsWindowIsPainted) {
    ScratchDir dir;
    Harness h;
    h.controller.recentFiles().clear();
    const QString path = writeQuadrants(dir / "painted.vrs", 20, 10);
    MyDocument* document = h.controller.openDocument(path);
    ASSERT_NE(document, nullptr);
    const QString canonical = QFileInfo(path).canonicalFilePath();
    EXPECT_EQ(h.controller.recentFiles().files().value(0), canonical) << "listed at once";
    EXPECT_TRUE(RecentFiles().files().isEmpty()) << "not written before the window is painted";
    EXPECT_TRUE(QTest::qWaitFor([] { return !RecentFiles().files().isEmpty(); }, 10000));
    EXPECT_EQ(RecentFiles().files().value(0), canonical);
    h.controller.recentFiles().clear();
}

TEST(Controller, AFileThatCannotBeOpenedAloneIsToldAndMakesNoDocument) {
    ScratchDir dir;
    Harness h;
    EXPECT_FALSE(h.controller.launch({QString::fromStdString((dir / "missing.vrs").string())}));
    EXPECT_TRUE(h.controller.documents().empty());
    ASSERT_EQ(h.alerts.size(), 1u);
    EXPECT_TRUE(h.alerts[0].contains(QStringLiteral("missing.vrs")));
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

TEST(Controller, BadFilesAmongManySayWhyInTheirOwnWindowsWithoutHoldingUpTheOthers) {
    ScratchDir dir;
    Harness h;
    QStringList files;
    for (int i = 0; i < 24; ++i) {
        files.append(writeQuadrants(dir / ("shot" + std::to_string(i) + ".vrs"), 8, 6));
    }
    const std::string png = "\x89PNG\r\n\x1A\n" + std::string(400, '\0');
    ASSERT_TRUE(vrs::testing::writeFile(dir / "png.vrs", {png.begin(), png.end()}));
    std::filesystem::create_directory(dir / "folder.vrs");
    files.insert(3, QString::fromStdString((dir / "png.vrs").string()));
    files.insert(9, QString::fromStdString((dir / "missing.vrs").string()));
    files.insert(15, QString::fromStdString((dir / "folder.vrs").string()));
    files.insert(27, QString::fromStdString((dir / "short.vrs").string()));
    ASSERT_TRUE(vrs::testing::writeFile(dir / "short.vrs", {1, 2, 3}));

    EXPECT_TRUE(h.controller.launch(files));
    EXPECT_TRUE(h.alerts.empty()) << h.alerts.front().toStdString();
    ASSERT_EQ(h.controller.documents().size(), 28u);
    const std::vector<std::pair<int, QString>> refused = {
        {3, QStringLiteral("it is a PNG picture, not a virtual-screen file")},
        {9, QStringLiteral("there is no such file")},
        {15, QStringLiteral("it is a folder")},
        {27, QStringLiteral("it holds 3 bytes")}};
    for (const auto& [at, why] : refused) {
        const MyDocument* doc = h.controller.documents()[static_cast<std::size_t>(at)];
        EXPECT_FALSE(doc->fullImage());
        EXPECT_TRUE(doc->window()->isVisible());
        EXPECT_TRUE(doc->sizeText()->text().contains(why)) << doc->sizeText()->text().toStdString();
    }
    EXPECT_TRUE(h.controller.documents()[4]->fullImage());
    EXPECT_EQ(h.controller.documents()[4]->sizeText()->text(),
              QStringLiteral("pixel X=8 Y=6 Size=0.0M"));
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

    // With Shift held the file is compared with the picture, and the move
    // a file manager proposes then is taken as a copy: nothing is deleted.
    const Qt::DropActions both = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent again(at.toPoint(), both, &mime, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(first->window(), &again);
    QDropEvent shifted(at, both, &mime, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(first->window(), &shifted);
    EXPECT_EQ(shifted.dropAction(), Qt::CopyAction);
    EXPECT_EQ(h.controller.documents().size(), 2u);
    EXPECT_TRUE(first->comparison().active());

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

TEST(Controller, OpenRecentTellsSameNamesByFolderAndCutsLongNamesInTheMiddle) {
    testApplication();
    const QByteArray longName = QByteArray(100, 'a') + "&" + QByteArray(100, 'z') + ".vrs";
    const QList<QByteArray> paths = {"/day1/shot10.vrs", "/day2/shot10.vrs", "/day2/once.vrs",
                                     "/x/" + longName};
    const QFontMetrics metrics(QApplication::font());
    const int width = metrics.averageCharWidth() * 40;
    const QStringList texts = recentMenuTexts(paths, metrics, width);
    ASSERT_EQ(texts.size(), 4);
    EXPECT_EQ(texts[0], QStringLiteral("shot10.vrs \u2014 /day1"));
    EXPECT_EQ(texts[1], QStringLiteral("shot10.vrs \u2014 /day2"));
    EXPECT_EQ(texts[2], QStringLiteral("once.vrs"));
    EXPECT_TRUE(texts[3].startsWith(QStringLiteral("aaaa"))) << texts[3].toStdString();
    EXPECT_TRUE(texts[3].endsWith(QStringLiteral("zzzz.vrs"))) << texts[3].toStdString();
    EXPECT_TRUE(texts[3].contains(QChar(0x2026)));
    EXPECT_LE(metrics.horizontalAdvance(texts[3]), width + metrics.averageCharWidth());
}

}  // namespace
