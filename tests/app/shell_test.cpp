// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPrinter>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/command_line.h"
#include "app/folder_files.h"
#include "app/local_path.h"
#include "app/my_document.h"
#include "app_test_support.h"
#include "test_support.h"

namespace {

using apptest::Harness;
using apptest::writeQuadrants;
using vrs::testing::ScratchDir;

TEST(FolderFiles, NeighboursAreVrsFilesInAFileManagersOrder) {
    QCollator collator{QLocale(QLocale::English, QLocale::UnitedStates)};
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const QList<QByteArray> names = {"shot10.vrs",    "notes.txt", "Shot2.VRS", "shot1.vrs",
                                     "shot2.vrs.png", ".vrs",      "b.vrs"};
    const auto next = [&](const QByteArray& from) {
        return neighbourName(names, from, 1, collator);
    };
    const auto prev = [&](const QByteArray& from) {
        return neighbourName(names, from, -1, collator);
    };
    EXPECT_EQ(next("b.vrs"), "shot1.vrs");
    EXPECT_EQ(next("shot1.vrs"), "Shot2.VRS") << "2 before 10, case ignored";
    EXPECT_EQ(next("Shot2.VRS"), "shot10.vrs");
    EXPECT_EQ(next("shot10.vrs"), "") << "the last file";
    EXPECT_EQ(prev("b.vrs"), "") << "the first file";
    EXPECT_EQ(prev("shot10.vrs"), "Shot2.VRS");
    EXPECT_EQ(next("shot3.vrs"), "shot10.vrs") << "from a name no longer in the folder";
    EXPECT_EQ(prev("shot3.vrs"), "Shot2.VRS");
}

TEST(CommandLine, FilesUrlsQtOptionsAndUsageErrors) {
    const CommandLine line = parseCommandLine(
        {"vrsview", "-platform", "offscreen", "a.vrs", "file:///tmp/my%20shot.vrs", "--", "-b"});
    EXPECT_FALSE(line.done);
    EXPECT_EQ(line.files, QList<QByteArray>({"a.vrs", "/tmp/my shot.vrs", "-b"}));
    EXPECT_EQ(localPathOfArgument("file://localhost/tmp/my%20shot.vrs"), "/tmp/my shot.vrs");
    EXPECT_EQ(localPathOfArgument("file://elsewhere.example/tmp/a.vrs"),
              "file://elsewhere.example/tmp/a.vrs")
        << "not the local /elsewhere.example/tmp/a.vrs";

    const CommandLine compare = parseCommandLine({"vrsview", "a.vrs", "--compare", "b.vrs"});
    EXPECT_TRUE(compare.compare && !compare.done);
    EXPECT_EQ(compare.files, QList<QByteArray>({"a.vrs", "b.vrs"}));
    const CommandLine alone = parseCommandLine({"vrsview", "--compare", "a.vrs"});
    EXPECT_TRUE(alone.done && alone.status == 2 && alone.toStandardError);
    EXPECT_TRUE(alone.output.contains("--compare")) << alone.output.toStdString();

    const CommandLine wrong = parseCommandLine({"vrsview", "--zoom", "a.vrs"});
    EXPECT_TRUE(wrong.done);
    EXPECT_EQ(wrong.status, 2);
    EXPECT_TRUE(wrong.toStandardError);
    EXPECT_TRUE(wrong.output.startsWith("vrsview: ")) << wrong.output.toStdString();
    EXPECT_TRUE(wrong.output.contains("zoom")) << wrong.output.toStdString();

    testApplication();  // Qt's usage line names the program it runs in
    const CommandLine help = parseCommandLine({"/usr/bin/vrsview", "--help"});
    EXPECT_TRUE(help.done && help.status == 0 && !help.toStandardError);
    EXPECT_TRUE(help.output.contains("file://"));
    EXPECT_FALSE(help.output.contains("platformtheme")) << "Qt's options stay out of the help";
    EXPECT_TRUE(help.output.contains(": vrsview [options]")) << help.output.toStdString();
    ASSERT_FALSE(QCoreApplication::arguments().value(0).isEmpty());
    EXPECT_FALSE(help.output.contains(QCoreApplication::arguments().value(0)));
}

TEST(OpenInPlace, TheSameWindowShowsTheNextFileOrStaysOnAFailure) {
    ScratchDir dir;
    Harness h;
    const QString first = writeQuadrants(dir / "one.vrs", 40, 20);
    const QString second = writeQuadrants(dir / "two.vrs", 18, 30);
    const QString bad = QString::fromStdString((dir / "three.vrs").string());
    QFile::copy(second, bad);
    QFile::resize(bad, 300);
    ASSERT_TRUE(h.controller.launch({first}));
    MyDocument* document = h.controller.documents().front();
    DocumentWindow* window = document->window();
    window->resize(333, 222);

    EXPECT_TRUE(h.controller.openInPlace(*document, second));
    EXPECT_EQ(h.controller.documents().size(), 1u);
    EXPECT_EQ(document->window(), window);
    EXPECT_EQ(window->size(), QSize(333, 222)) << "the window keeps its size";
    EXPECT_EQ(window->windowTitle(), "two.vrs");
    EXPECT_EQ(document->sizeText()->text(), sizeLine(18, 30));
    EXPECT_EQ(document->view()->image()->size().width, 18);
    EXPECT_EQ(h.controller.recentFiles().files().value(0), QFileInfo(second).canonicalFilePath());

    EXPECT_FALSE(h.controller.openInPlace(*document, bad));
    EXPECT_EQ(h.alerts.size(), 1u) << "the cut-short file is told";
    EXPECT_EQ(window->windowTitle(), "two.vrs");
    EXPECT_EQ(document->fullImage()->size().height, 30);
    h.controller.closeAll();
}

TEST(OpenInPlace, APictureAfterARefusedFileCanBeCopied) {
    ScratchDir dir;
    Harness h;
    const QString bad = writeQuadrants(dir / "bad.vrs", 18, 30);
    QFile::resize(bad, 300);
    ASSERT_TRUE(h.controller.launch({bad}));
    MyDocument* document = h.controller.documents().front();
    DocumentWindow* window = document->window();
    QAction* copy = apptest::commandWithKey(window, QKeySequence(Qt::CTRL | Qt::Key_C));
    ASSERT_NE(copy, nullptr);
    ASSERT_FALSE(copy->isEnabled());
    // Every command that needs a picture, off in the empty window.
    const QList<QAction*> needPicture{
        apptest::commandWithKey(window, QKeySequence(Qt::CTRL | Qt::Key_S)),
        apptest::commandWithKey(window, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
        apptest::commandWithKey(window, QKeySequence(Qt::CTRL | Qt::Key_P)),
        apptest::commandWithKey(window, QKeySequence(Qt::CTRL | Qt::Key_0)),
        apptest::commandWithKey(window, QKeySequence(Qt::CTRL | Qt::Key_Plus)),
        apptest::commandWithKey(window, QKeySequence(Qt::CTRL | Qt::Key_Minus)),
        window->findChild<QAction*>(QStringLiteral("actionZoom")),
        window->findChild<QAction*>(QStringLiteral("actionFitWindow")),
        window->findChild<QAction*>(QStringLiteral("actionCopyColour"))};
    for (QAction* action : needPicture) {
        ASSERT_NE(action, nullptr);
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    }
    ASSERT_TRUE(h.controller.openInPlace(*document, writeQuadrants(dir / "good.vrs", 400, 200)));
    EXPECT_TRUE(copy->isEnabled());
    for (QAction* action : needPicture) {
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    }

    // Panned off the picture, Copy says there is nothing to copy.
    MyImageView* view = document->view();
    view->zoomIn();
    view->mouseDown({10, 10});
    view->mouseDragged({10 + 100000, 10});
    view->mouseUp();
    QString told;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->text();
            box->accept();
        }
    });
    copy->trigger();
    EXPECT_TRUE(told.contains(QStringLiteral("nothing to copy"))) << told.toStdString();
    h.controller.closeAll();
}

TEST(NextFile, ALinkToTheFileShownIsSteppedPast) {
    ScratchDir dir;
    Harness h;
    const QString a = writeQuadrants(dir / "a.vrs", 13, 7);
    std::filesystem::create_symlink(dir / "a.vrs", dir / "b.vrs");
    writeQuadrants(dir / "c.vrs", 9, 5);
    ASSERT_TRUE(h.controller.launch({a}));
    MyDocument* document = h.controller.documents().front();
    QAction* next = document->window()->findChild<QAction*>(QStringLiteral("actionNextFile"));
    ASSERT_NE(next, nullptr);
    next->trigger();  // b.vrs: a.vrs again
    next->trigger();
    EXPECT_EQ(document->window()->windowTitle(), "c.vrs");
    EXPECT_EQ(document->fullImage()->size().width, 9);
    h.controller.closeAll();
}

TEST(NextFile, ASeriesOfTheSameSizeKeepsTheRegionUnlessTurnedOff) {
    ScratchDir dir;
    Harness h;
    const QString a = writeQuadrants(dir / "a.vrs", 400, 200);
    writeQuadrants(dir / "b.vrs", 400, 200);
    writeQuadrants(dir / "c.vrs", 300, 200);
    writeQuadrants(dir / "d.vrs", 300, 200);
    ASSERT_TRUE(h.controller.launch({a}));
    MyDocument* document = h.controller.documents().front();
    DocumentWindow* window = document->window();
    QAction* next = window->findChild<QAction*>(QStringLiteral("actionNextFile"));
    QAction* keep = window->findChild<QAction*>(QStringLiteral("actionKeepZoom"));
    ASSERT_NE(next, nullptr);
    ASSERT_NE(keep, nullptr);
    EXPECT_TRUE(keep->isChecked()) << "on by default";
    document->view()->zoomIn();
    const vrs::CGRect region = document->view()->clipedRect();
    ASSERT_GT(region.size.width, 0);

    next->trigger();  // b.vrs, the same size: the same region
    EXPECT_EQ(window->windowTitle(), "b.vrs");
    EXPECT_EQ(document->view()->clipedRect().origin.x, region.origin.x);
    EXPECT_EQ(document->view()->clipedRect().size.width, region.size.width);

    next->trigger();  // c.vrs, another size: the whole picture
    EXPECT_EQ(document->view()->clipedRect().size.width, 0);

    document->view()->zoomIn();
    keep->setChecked(false);
    EXPECT_FALSE(MyDocument::keepZoomAcrossFiles()) << "remembered in the settings";
    next->trigger();  // d.vrs, the same size, but turned off: the whole picture
    EXPECT_EQ(window->windowTitle(), "d.vrs");
    EXPECT_EQ(document->view()->clipedRect().size.width, 0);
    keep->setChecked(true);
    h.controller.closeAll();
}

TEST(NextFile, LeftAndRightPanAZoomedPictureHomeAndEndGoToTheEnds) {
    ScratchDir dir;
    Harness h;
    writeQuadrants(dir / "a.vrs", 400, 200);
    const QString b = writeQuadrants(dir / "b.vrs", 400, 200);
    writeQuadrants(dir / "c.vrs", 400, 200);
    ASSERT_TRUE(h.controller.launch({b}));
    MyDocument* document = h.controller.documents().front();
    DocumentWindow* window = document->window();
    MyImageView* view = document->view();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    view->setFocus();

    QTest::keyClick(view, Qt::Key_Right);  // the whole picture: the next file
    EXPECT_EQ(window->windowTitle(), "c.vrs");
    QTest::keyClick(view, Qt::Key_Home);
    EXPECT_EQ(window->windowTitle(), "a.vrs");

    view->zoomIn();
    const vrs::CGRect region = view->clipedRect();
    QTest::keyClick(view, Qt::Key_Right);  // zoomed: a pan, the same file
    EXPECT_EQ(window->windowTitle(), "a.vrs");
    EXPECT_DOUBLE_EQ(view->clipedRect().origin.x, region.origin.x + region.size.width / 10);
    QTest::keyClick(view, Qt::Key_PageDown);
    EXPECT_EQ(window->windowTitle(), "b.vrs");
    QTest::keyClick(view, Qt::Key_End);
    EXPECT_EQ(window->windowTitle(), "c.vrs");
    EXPECT_GT(view->clipedRect().size.width, 0) << "a series keeps its region";
    h.controller.closeAll();
}

TEST(FileNames, ANameThatIsNotUtf8OpensByNameByUrlAndByNextFile) {
    ScratchDir dir;
    Harness h;
    const std::string folder = dir.path().string();
    const QByteArray raw = QByteArray::fromStdString(folder + "/shot\xFF.vrs");
    ASSERT_FALSE(writeQuadrants(raw.toStdString(), 14, 6).isEmpty());
    const QByteArray url = "file://" + QByteArray::fromStdString(folder) + "/shot%FF.vrs";
    const CommandLine line =
        parseCommandLine({"vrsview", QFile::decodeName(raw), url}, {"vrsview", raw, url});
    ASSERT_EQ(line.files, QList<QByteArray>({raw, raw}));

    ASSERT_TRUE(h.controller.launch(line.files));
    ASSERT_EQ(h.controller.documents().size(), 1u) << "the URL names the same file";
    MyDocument* shot = h.controller.documents().front();
    EXPECT_TRUE(h.alerts.empty());
    ASSERT_TRUE(shot->fullImage());
    EXPECT_EQ(shot->window()->windowTitle(), QStringLiteral("shot\uFFFD.vrs"));
    EXPECT_EQ(h.controller.recentFiles().files().value(0), canonicalPath(raw));

    MyDocument* other =
        h.controller.openDocument(writeQuadrants(dir / "a.vrs", 3, 2));  // before "shot"
    ASSERT_NE(other, nullptr);
    QAction* next = other->window()->findChild<QAction*>(QStringLiteral("actionNextFile"));
    ASSERT_NE(next, nullptr);
    shot->window()->close();
    next->trigger();
    EXPECT_TRUE(h.alerts.empty());
    EXPECT_EQ(other->filePath(), canonicalPath(raw));
    EXPECT_EQ(other->fullImage()->size().width, 14);
    h.controller.closeAll();
}

TEST(Dialogs, SaveAndPrintToFileStartInTheFolderOfTheDocument) {
    ScratchDir dir;
    Harness h;
    ASSERT_TRUE(h.controller.launch({writeQuadrants(dir / "pic.vrs", 12, 8)}));
    MyDocument* document = h.controller.documents().front();
    const QString folder = QFileInfo(document->filePath()).absolutePath();
    document->saveDocument();
    ASSERT_NE(document->savePanel(), nullptr);
    EXPECT_EQ(document->savePanel()->directory().absolutePath(), folder);
    document->savePanel()->reject();

    QString proposed;
    document->setPrintDialog([&](QPrinter& printer, QWidget*) {
        proposed = printer.outputFileName();
        return false;
    });
    document->printDocument();
    EXPECT_EQ(proposed, folder + "/pic.pdf");
    h.controller.closeAll();
}

}  // namespace
