// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <clocale>
#include <string>

#include "app/my_document.h"
#include "app/pixel_inspector.h"
#include "app/status_line.h"
#include "app_test_support.h"
#include "picture_check.h"
#include "platform/mapped_file.h"
#include "test_support.h"

namespace {

using apptest::Harness;
using apptest::writeQuadrants;
using vrs::testing::ScratchDir;

TEST(SizeLine, FollowsTheFormatOfTheSizeLabel) {
    EXPECT_EQ(sizeLine(1600, 1200), QStringLiteral("pixel X=1600 Y=1200 Size=7.3M"));
    EXPECT_EQ(sizeLine(1024, 768), QStringLiteral("pixel X=1024 Y=768 Size=3.0M"));
    EXPECT_EQ(sizeLine(4000, 3000), QStringLiteral("pixel X=4000 Y=3000 Size=45.8M"));
    EXPECT_EQ(sizeLine(2560, 1600), QStringLiteral("pixel X=2560 Y=1600 Size=15.6M"));
    EXPECT_EQ(sizeLine(1, 1), QStringLiteral("pixel X=1 Y=1 Size=0.0M"));
    // printf rounding of an exact tie (0.25), truncated sizes, untruncated size.
    EXPECT_EQ(sizeLine(256, 256), QStringLiteral("pixel X=256 Y=256 Size=0.2M"));
    EXPECT_EQ(sizeLine(1599.9, 10.5), QStringLiteral("pixel X=1599 Y=10 Size=0.1M"));
}

TEST(SizeLine, KeepsItsPointUnderALocaleWithADecimalComma) {
    // As QApplication leaves it for LANG=de_DE.UTF-8 (package locales-all).
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    const QString line = sizeLine(2560, 1600);
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_EQ(line, QStringLiteral("pixel X=2560 Y=1600 Size=15.6M"));
}

TEST(Document, GoodFileGivesTheViewBothImagesAndTheSizeLine) {
    ScratchDir dir;
    Harness h;
    const QString path = writeQuadrants(dir / "wide.vrs", 2560, 1600);
    MyDocument* doc = h.controller.openDocument(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(h.alerts.empty());
    ASSERT_TRUE(doc->fullImage());
    ASSERT_TRUE(doc->viewImage());
    EXPECT_EQ(doc->viewImage()->size().width, 1600);
    EXPECT_EQ(doc->viewImage()->size().height, 1000);
    EXPECT_EQ(doc->view()->image(), doc->viewImage());
    EXPECT_EQ(doc->sizeText()->text(), QStringLiteral("pixel X=2560 Y=1600 Size=15.6M"));
    EXPECT_EQ(doc->progressCount(), 1);
    EXPECT_EQ(doc->window()->windowTitle(), QStringLiteral("wide.vrs"));
    EXPECT_TRUE(doc->window()->isVisible());
    EXPECT_FALSE(doc->options()->isVisible());

    // Too big for the screen: the window fits it, the view keeps the picture's shape.
    QApplication::processEvents();
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(doc->window()->width(), room.width());
    EXPECT_LE(doc->window()->height(), room.height());
    const QSize shown = doc->view()->size() - QSize(4, 4);
    EXPECT_NEAR(double(shown.width()) / shown.height(), 1.6, 0.01);
}

TEST(Document, WindowShowsASmallPictureWhole) {
    ScratchDir dir;
    Harness h;
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "small.vrs", 301, 203));
    ASSERT_NE(doc, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(doc->view()->size(), QSize(305, 207));
    const vrs::CGRect shown = doc->view()->viewRect();
    EXPECT_EQ(shown, vrs::NSMakeRect(2, 2, 301, 203));
}

TEST(Document, ViewSizeShrinksToTheRoomKeepingProportions) {
    EXPECT_EQ(viewSizeForImage(1600, 1200, QSize(1920, 604)), QSize(804, 604));
    EXPECT_EQ(viewSizeForImage(1200, 1600, QSize(1920, 804)), QSize(604, 804));
    EXPECT_EQ(viewSizeForImage(300, 200, QSize(1920, 1080)), QSize(304, 204));
    EXPECT_EQ(viewSizeForImage(0, 0, QSize(1920, 1080)), QSize(404, 304));
}

TEST(Document, WindowRoomKeepsAPanelWhereTheScreenCannotTellOfOne) {
    const QRect screen(0, 0, 1920, 1200);
    const QRect belowPanel(0, 32, 1920, 1168);
    const QSize whole = windowRoom(screen, screen, false);
    // Wayland: the whole screen is reported available even under a panel.
    EXPECT_LT(windowRoom(screen, screen, true).height(), whole.height());
    EXPECT_EQ(windowRoom(screen, screen, true).width(), whole.width());
    // A work area that leaves panels out is taken as it is on any system.
    EXPECT_EQ(windowRoom(screen, belowPanel, true), windowRoom(screen, belowPanel, false));
    EXPECT_EQ(whole.height() - windowRoom(screen, belowPanel, false).height(), 32);
}

TEST(Document, RefusedFileOpensAWindowWithoutImageAndOneMessageNamingIt) {
    ScratchDir dir;
    Harness h;
    const QString good = writeQuadrants(dir / "cut.vrs", 64, 48);
    ASSERT_TRUE(QFile::resize(good, 196 + 64 * 4 * 10));
    MyDocument* doc = h.controller.openDocument(good);
    ASSERT_NE(doc, nullptr);
    // Named, so that with several files opened at once the user knows which.
    ASSERT_EQ(h.alerts.size(), 1u);
    EXPECT_EQ(h.alerts[0].toStdString(),
              "The file \"cut.vrs\" can't be read: the header promises 64 x 48 pixels of 32 bits "
              "(13,040 bytes of rows) but only 2,560 bytes follow it.");
    EXPECT_FALSE(doc->fullImage());
    ASSERT_NE(doc->window(), nullptr);
    EXPECT_TRUE(doc->window()->isVisible());
    EXPECT_FALSE(doc->view()->image());
    EXPECT_TRUE(doc->sizeText()->text().isEmpty());
}

TEST(Document, AFileShrunkWhileReadIsToldByNameAndLeavesOtherWindowsOpen) {
    ScratchDir dir;
    Harness h;
    MyDocument* other = h.controller.openDocument(writeQuadrants(dir / "other.vrs", 50, 30));
    ASSERT_NE(other, nullptr);
    const QString path = writeQuadrants(dir / "shot.vrs", 97, 61);
    vrs::MappedFile file;
    ASSERT_TRUE(file.open(path.toStdString()));
    ASSERT_TRUE(QFile::resize(path, 196 + 97 * 4 * 20));  // copied over, mid-way
    MyDocument doc(h.host);
    doc.setFilePath(QFile::encodeName(path));
    doc.loadDataRepresentation(file.data(), file.size(), QStringLiteral("vrs"));
    doc.makeWindowControllers();
    doc.showWindows();
    EXPECT_EQ(h.alerts,
              std::vector<QString>{"The file \"shot.vrs\" changed while it was being read."});
    EXPECT_FALSE(doc.fullImage());
    EXPECT_FALSE(doc.view()->image());
    EXPECT_TRUE(doc.window()->isVisible());
    EXPECT_TRUE(other->window()->isVisible());
    EXPECT_TRUE(other->fullImage());
}

// The clock the decoder reads is the seam: at its first reading, mid-decode,
// the file is rewritten in place at the same size.
TEST(Document, AFileRewrittenInPlaceWhileDecodedBuildsNoPicture) {
    ScratchDir dir;
    const std::string path = (dir / "shot.vrs").string();
    vrs::testing::VrsLayout layout;
    layout.depth = 16;  // decodes of 16-bit pixels read the clock
    layout.width = 97;
    layout.height = 61;
    ASSERT_TRUE(vrs::testing::writeVrsFile(path, layout, [](std::int64_t, std::int64_t) {
        return vrs::testing::Rgb{8, 16, 24};
    }));
    // An old modification time: the rewrite changes it whatever the clock's grain.
    const timespec old[2] = {{1, 0}, {1, 0}};
    ASSERT_EQ(0, utimensat(AT_FDCWD, path.c_str(), old, 0));
    testApplication();
    bool rewritten = false;
    MyObject delegate;
    QtHost host([&] {
        if (!rewritten) {
            rewritten = true;
            const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
            const std::uint8_t bytes[2] = {0x7C, 0x00};
            EXPECT_EQ(2, pwrite(fd, bytes, 2, 196 + 97 * 2 * 60));
            EXPECT_EQ(0, close(fd));
        }
        return std::uint32_t{0};
    });
    std::vector<QString> alerts;
    host.setAlertFunction([&](const QString& m) { alerts.push_back(m); });
    DocumentController controller(host, delegate);
    MyDocument* doc = controller.openDocument(QString::fromStdString(path));
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(rewritten);
    EXPECT_EQ(alerts,
              std::vector<QString>{"The file \"shot.vrs\" changed while it was being read."});
    EXPECT_FALSE(doc->fullImage());
    EXPECT_FALSE(doc->view()->image());
}

TEST(Document, DestroyedWithoutAWindowReleasesItsImages) {
    vrs::testing::RecordingHost host;
    vrs::testing::VrsLayout layout;
    layout.width = 33;
    layout.height = 17;
    const auto bytes = vrs::testing::makeVrs(layout, [](std::int64_t x, std::int64_t y) {
        return apptest::quadrantPixel(x, y, 33, 17);
    });
    auto* doc = new MyDocument(host);
    EXPECT_TRUE(doc->loadDataRepresentation(bytes.data(), bytes.size(), QStringLiteral("vrs")));
    std::weak_ptr<vrs::Image> full = doc->fullImage();
    std::weak_ptr<vrs::Image> view = doc->viewImage();
    ASSERT_FALSE(full.expired());
    ASSERT_FALSE(view.expired());
    EXPECT_EQ(doc->window(), nullptr);
    delete doc;
    EXPECT_TRUE(full.expired());
    EXPECT_TRUE(view.expired());
    EXPECT_TRUE(host.alerts.empty());

    delete new MyDocument(host);  // never loaded at all
}

TEST(Document, ClosedWindowReleasesTheImages) {
    ScratchDir dir;
    Harness h;
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "a.vrs", 40, 30));
    ASSERT_NE(doc, nullptr);
    std::weak_ptr<vrs::Image> full = doc->fullImage();
    std::weak_ptr<vrs::Image> view = doc->viewImage();
    doc->window()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(full.expired());
    EXPECT_TRUE(view.expired());
}

QAction* findAction(QWidget* window, const QString& text) {
    for (QAction* a : window->findChildren<QAction*>()) {
        if (a->text() == text) {
            return a;
        }
    }
    return nullptr;
}

class KeyRecorder : public QObject {
  public:
    std::vector<int> keys;

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            keys.push_back(static_cast<QKeyEvent*>(event)->key());
        }
        return false;
    }
};

TEST(Document, MenusLeaveTheFunctionKeysToTheView) {
    ScratchDir dir;
    Harness h;
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "m.vrs", 240, 180));
    ASSERT_NE(doc, nullptr);
    QAction* zoom = findAction(doc->window(), QStringLiteral("Zoom\tF1"));
    QAction* fit = findAction(doc->window(), QStringLiteral("Fit Window\tF3"));
    ASSERT_NE(zoom, nullptr);
    ASSERT_NE(fit, nullptr);
    EXPECT_TRUE(zoom->shortcut().isEmpty());
    EXPECT_TRUE(fit->shortcut().isEmpty());
    for (QAction* a : doc->window()->findChildren<QAction*>()) {
        EXPECT_NE(a->shortcut(), QKeySequence(Qt::Key_F1)) << a->text().toStdString();
        EXPECT_NE(a->shortcut(), QKeySequence(Qt::Key_F3)) << a->text().toStdString();
    }
    // The items call what the keys call; only a key press reaches the view.
    KeyRecorder recorder;
    doc->view()->installEventFilter(&recorder);
    zoom->trigger();
    EXPECT_FALSE(vrs::NSIsEmptyRect(doc->view()->clipedRect()));
    fit->trigger();
    EXPECT_TRUE(recorder.keys.empty());

    QAction* save = apptest::commandWithKey(doc->window(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QAction* saveAs =
        apptest::commandWithKey(doc->window(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    ASSERT_NE(save, nullptr);
    ASSERT_NE(saveAs, nullptr);
    EXPECT_TRUE(save->isEnabled());
    EXPECT_TRUE(saveAs->isEnabled());
    EXPECT_EQ(save->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(saveAs->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    QAction* print = findAction(doc->window(), QStringLiteral("&Print…"));
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
}

// The menu bar, the size line and the zoom level do not hold the window wider
// than a small picture needs.
TEST(Document, F3FitsAPictureNarrowerThanTheMenuBar) {
    ScratchDir dir;
    Harness h;
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "tiny.vrs", 120, 90));
    ASSERT_NE(doc, nullptr);
    doc->view()->fitKey();
    QApplication::processEvents();
    EXPECT_EQ(doc->view()->size(), QSize(124, 94));
    EXPECT_EQ(doc->view()->viewRect(), vrs::NSMakeRect(2, 2, 120, 90)) << "one point per pixel";
}

// A shortcut is live only where its action is: on the window, not only in the
// menu bar that full screen hides.
TEST(Document, EveryMenuShortcutIsOnTheWindowForFullScreen) {
    ScratchDir dir;
    Harness h;
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "s.vrs", 40, 30));
    ASSERT_NE(doc, nullptr);
    int commands = 0;
    for (QMenu* menu : doc->window()->menuBar()->findChildren<QMenu*>()) {
        for (QAction* action : menu->actions()) {
            if (!action->shortcuts().isEmpty()) {
                EXPECT_TRUE(doc->window()->actions().contains(action))
                    << action->text().toStdString();
                ++commands;
            }
        }
    }
    EXPECT_GE(commands, 13);
}

TEST(Document, ZoomLevelBesideTheSizeLineBothGoneInFullScreen) {
    ScratchDir dir;
    Harness h;
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "z.vrs", 301, 203));
    ASSERT_NE(doc, nullptr);
    auto* zoom = apptest::zoomLabelBeside(doc->sizeText());
    ASSERT_NE(zoom, nullptr);
    // Right in the first frame: no second pass to put it in.
    EXPECT_EQ(zoom->text(), QStringLiteral("100 %"));
    QApplication::processEvents();
    EXPECT_EQ(zoom->geometry().center().y(), doc->sizeText()->geometry().center().y());
    QAction* in = findAction(doc->window(), QStringLiteral("Zoom &In"));
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->shortcuts(), (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Plus),
                                                    QKeySequence(Qt::CTRL | Qt::Key_Equal)}));
    in->trigger();
    EXPECT_EQ(zoom->text(), QStringLiteral("200 %"));
    EXPECT_EQ(doc->sizeText()->text(), QStringLiteral("pixel X=301 Y=203 Size=0.2M"));

    auto* full = apptest::commandWithKey(doc->window(), QKeySequence(Qt::Key_F11));
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->shortcut(), QKeySequence(Qt::Key_F11));
    full->trigger();
    EXPECT_FALSE(doc->window()->menuBar()->isVisible());
    EXPECT_FALSE(doc->sizeText()->isVisible());
    EXPECT_FALSE(zoom->isVisible());
    // F3 leaves a full-screen window as it is.
    const QRect screen = doc->window()->screen()->geometry();
    ASSERT_TRUE(QTest::qWaitFor([&] { return doc->window()->geometry() == screen; }));
    doc->view()->fitKey();
    EXPECT_EQ(doc->window()->geometry(), screen);
    QAction* leave = nullptr;
    for (QAction* a : doc->window()->actions()) {
        leave = a->shortcut() == QKeySequence(Qt::Key_Escape) ? a : leave;
    }
    ASSERT_NE(leave, nullptr);
    leave->trigger();
    EXPECT_TRUE(doc->window()->menuBar()->isVisible());
    EXPECT_TRUE(doc->sizeText()->isVisible());
    EXPECT_TRUE(zoom->isVisible());
    EXPECT_FALSE(full->isChecked());
    EXPECT_FALSE(leave->isEnabled()) << "Esc stays the view's key outside full screen";

    // The window manager ends full screen on its own: the item and the bars follow.
    full->trigger();
    ASSERT_TRUE(doc->window()->isFullScreen());
    doc->window()->setWindowState(Qt::WindowNoState);
    EXPECT_FALSE(full->isChecked());
    EXPECT_TRUE(doc->window()->menuBar()->isVisible());
    EXPECT_FALSE(leave->isEnabled());
}

TEST(Document, ZoomLevelOfAPictureSmallerThanTheSmallestWindow) {
    ScratchDir dir;
    Harness h;
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "s.vrs", 3, 2));
    ASSERT_NE(doc, nullptr);
    QApplication::processEvents();
    auto* zoom = apptest::zoomLabelBeside(doc->sizeText());
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(zoom->text(), zoomLevelText(100 * doc->view()->viewRect().size.width / 3));
    h.controller.closeAll();
}

}  // namespace

namespace {

// Lets the event loop run until `done`, woken by events (the file watch's
// among them), for at most five seconds.
template <typename Done>
bool runUntil(Done done) {
    QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return done();
}

vrs::testing::Rgb pixelOf(const MyDocument& doc, std::int64_t x, std::int64_t y) {
    const vrs::testing::Rgba p = vrs::testing::pixelAt(*doc.fullImage()->rep(), x, y);
    return {p.r, p.g, p.b};
}

bool writeSolid(const std::filesystem::path& path, std::uint32_t w, std::uint32_t h,
                vrs::testing::Rgb colour) {
    vrs::testing::VrsLayout layout;
    layout.width = w;
    layout.height = h;
    return vrs::testing::writeVrsFile(path.string(), layout,
                                      [colour](std::int64_t, std::int64_t) { return colour; });
}

// A move of the pointer, without a button, to a view point given y-up.
void movePointer(MyImageView& view, double x, double yUp, Qt::MouseButtons buttons = {}) {
    const QPointF at(x, view.height() - yUp);
    QMouseEvent move(QEvent::MouseMove, at, view.mapToGlobal(at), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
}

TEST(Inspector, TellsThePixelUnderThePointerCountedFromTheTopItsColourAndABandsSize) {
    ScratchDir dir;
    Harness h;
    vrs::testing::VrsLayout layout;
    layout.width = 400;
    layout.height = 200;
    layout.depth = 16;
    ASSERT_TRUE(vrs::testing::writeVrsFile(
        (dir / "shot.vrs").string(), layout, [](std::int64_t x, std::int64_t y) {
            return x == 0 && y == 199 ? vrs::testing::Rgb{0xF8, 0xF8, 0xF0}
                                      : vrs::testing::Rgb{0x18, 0x18, 0x28};
        }));
    MyDocument* doc =
        h.controller.openDocument(QString::fromStdString((dir / "shot.vrs").string()));
    ASSERT_NE(doc, nullptr);
    MyImageView* view = doc->view();
    auto* inspector = doc->window()->findChild<QLabel*>(QStringLiteral("pixelInspector"));
    ASSERT_NE(inspector, nullptr);
    const vrs::CGRect shown = view->frame()->viewRect;

    // The lower-left pixel: row 199 counted from the top.
    movePointer(*view, shown.origin.x + 0.5, shown.origin.y + 0.5);
    EXPECT_EQ(inspector->text(), QStringLiteral("x 0, y 199   #F8F8F0 (31, 31, 30)"));
    QAction* copyColour = doc->window()->findChild<QAction*>(QStringLiteral("actionCopyColour"));
    ASSERT_NE(copyColour, nullptr);
    copyColour->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("#F8F8F0"));
    movePointer(*view, shown.origin.x + shown.size.width - 0.5,
                shown.origin.y + shown.size.height - 0.5);
    EXPECT_TRUE(inspector->text().startsWith(QStringLiteral("x 399, y 0   #181828")));

    // A band over half the picture's width and height.
    view->mouseDown({shown.origin.x, shown.origin.y});
    movePointer(*view, shown.origin.x + shown.size.width / 2,
                shown.origin.y + shown.size.height / 2, Qt::LeftButton);
    EXPECT_EQ(inspector->text(), QStringLiteral("200 x 100"));
    view->mouseUp();
    h.controller.closeAll();
}

// Over a small picture the inspector and the zoom level give way to the size
// line rather than widen the window, and F3 still fits the picture; a size
// line cut short shows its whole text as its tip.
TEST(Inspector, GivesWayToTheSizeLineAndNeverWidensTheWindow) {
    ScratchDir dir;
    Harness h;
    for (const int w : {120, 300}) {
        MyDocument* doc = h.controller.openDocument(writeQuadrants(
            dir / ("w" + std::to_string(w) + ".vrs"), static_cast<std::uint32_t>(w), 90));
        ASSERT_NE(doc, nullptr);
        MyImageView* view = doc->view();
        view->fitKey();
        QApplication::processEvents();
        const int before = doc->window()->width();
        movePointer(*view, 3, 3);  // over the picture's lower-left pixel
        QApplication::processEvents();
        auto* inspector = doc->window()->findChild<QLabel*>(QStringLiteral("pixelInspector"));
        ASSERT_NE(inspector, nullptr);
        EXPECT_EQ(doc->window()->width(), before) << w;
        view->fitKey();
        QApplication::processEvents();
        EXPECT_EQ(view->size(), QSize(w + 4, 94)) << w;
        QLabel* size = doc->sizeText();
        EXPECT_LE(inspector->isVisible() ? inspector->geometry().right() : 0,
                  size->parentWidget()->width())
            << w;
        if (size->parentWidget()->width() >= size->sizeHint().width()) {
            EXPECT_GE(size->width(), size->sizeHint().width()) << w << ": the size line is whole";
        } else {
            EXPECT_EQ(size->toolTip(), size->text()) << w << ": a cut size line is its own tip";
        }
    }
    h.controller.closeAll();
}

TEST(Reload, AFileRewrittenOrReplacedOnTheDiskIsShownAgain) {
    ScratchDir dir;
    Harness h;
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "shot.vrs", 400, 200));
    ASSERT_NE(doc, nullptr);
    doc->view()->zoomIn();
    const vrs::CGRect region = doc->view()->clipedRect();
    ASSERT_GT(region.size.width, 0);

    // Rewritten in place, the same size: the new pixels, the same region.
    ASSERT_TRUE(writeSolid(dir / "shot.vrs", 400, 200, {9, 8, 7}));
    ASSERT_TRUE(runUntil([&] { return pixelOf(*doc, 0, 0) == vrs::testing::Rgb{9, 8, 7}; }));
    EXPECT_EQ(doc->view()->clipedRect().size.width, region.size.width);
    EXPECT_EQ(doc->view()->clipedRect().origin.x, region.origin.x);

    // Half written: not shown, the picture stays and says why.
    const std::vector<std::uint8_t> whole = vrs::testing::readFile(dir / "shot.vrs");
    ASSERT_TRUE(vrs::testing::writeFile(dir / "shot.vrs", {whole.begin(), whole.begin() + 400}));
    doc->reloadFromDisk();
    EXPECT_EQ(pixelOf(*doc, 0, 0), (vrs::testing::Rgb{9, 8, 7}));
    EXPECT_TRUE(doc->sizeText()->text().contains(QStringLiteral("being written")));

    // Replaced by a rename, another size: shown whole.
    ASSERT_TRUE(writeSolid(dir / "new.tmp", 300, 120, {1, 2, 3}));
    std::filesystem::rename(dir / "new.tmp", dir / "shot.vrs");
    ASSERT_TRUE(runUntil([&] { return doc->fullImage()->size().width == 300; }));
    EXPECT_EQ(pixelOf(*doc, 299, 119), (vrs::testing::Rgb{1, 2, 3}));
    EXPECT_EQ(doc->sizeText()->text(), sizeLine(300, 120));
    EXPECT_EQ(doc->view()->clipedRect().size.width, 0) << "the whole picture";

    // Gone: the picture stays, the size line says so.
    std::filesystem::remove(dir / "shot.vrs");
    ASSERT_TRUE(runUntil([&] { return !doc->fileNote().isEmpty(); }));
    EXPECT_EQ(doc->fullImage()->size().width, 300);
    EXPECT_TRUE(doc->sizeText()->text().startsWith(sizeLine(300, 120)));
    EXPECT_TRUE(doc->sizeText()->text().contains(QStringLiteral("no longer there")));
    h.controller.closeAll();
}

}  // namespace
