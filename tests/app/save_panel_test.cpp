// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QListView>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <set>

#include "app_test_support.h"
#include "picture_check.h"
#include "save_test_support.h"
#include "test_support.h"

namespace {

using namespace apptest;
using vrs::testing::ScratchDir;

// Progress windows as they appear on the screen: how many were shown and the
// titles they showed afterwards.
class ProgressWatcher : public QObject {
  public:
    ProgressWatcher() { QApplication::instance()->installEventFilter(this); }
    ~ProgressWatcher() override { QApplication::instance()->removeEventFilter(this); }

    int shown = 0;
    std::vector<QString> titles;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w == nullptr || !w->isWindow()) {
            return false;
        }
        if (event->type() == QEvent::Show &&
            w->windowTitle() == QStringLiteral("Progress window")) {
            windows_.insert(w);
            ++shown;
        } else if (event->type() == QEvent::WindowTitleChange && windows_.count(w) != 0) {
            EXPECT_TRUE(w->isVisible());
            titles.push_back(w->windowTitle());
        } else if (event->type() == QEvent::Destroy) {
            windows_.erase(w);
        }
        return false;
    }

  private:
    std::set<QObject*> windows_;
};

// Sets the remembered extension through a real pick in a throwaway panel.
void rememberExtension(Harness& h, const ScratchDir& dir, const QString& extension) {
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "setup.vrs", 9, 7));
    ASSERT_NE(doc, nullptr);
    doc->saveDocument();
    QFileDialog* panel = shownPanel();
    ASSERT_NE(panel, nullptr);
    pick(formatPopUp(doc), extension);
    panel->reject();
    h.controller.closeDocument(doc);
    settle();
    ASSERT_EQ(savePathExtension(), extension);
}

TEST(SavePanel, OpensOnTheWindowWithTheOptionsAndTheDocumentsName) {
    ScratchDir dir;
    Harness h;
    rememberExtension(h, dir, QStringLiteral("tiff"));
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "shot.2024.vrs", 21, 13));
    ASSERT_NE(doc, nullptr);
    QAction* save = apptest::commandWithKey(doc->window(), QKeySequence(Qt::CTRL | Qt::Key_S));
    ASSERT_NE(save, nullptr);
    ASSERT_TRUE(save->isEnabled());
    save->trigger();

    QFileDialog* panel = shownPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel, doc->savePanel());
    EXPECT_EQ(panel->windowTitle(), QStringLiteral("Save Image"));
    EXPECT_EQ(panel->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(panel->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(panel->windowModality(), Qt::WindowModal);
    EXPECT_EQ(panel->parentWidget(), doc->window());
    EXPECT_EQ(panel->defaultSuffix(), QStringLiteral("tiff"));
    // Only the document's own extension goes; the required one is shown.
    EXPECT_EQ(typedName(panel), QStringLiteral("shot.2024.tiff"));

    QWidget* options = doc->options();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->window(), panel);
    EXPECT_TRUE(options->isVisible());
    // Below the file browser: lower on the panel than the name field.
    EXPECT_GT(options->mapTo(panel, QPoint(0, 0)).y(),
              nameField(panel)->mapTo(panel, QPoint(0, 0)).y());

    // Ctrl+S again while the panel is up raises it instead of a second one.
    doc->saveDocument();
    EXPECT_EQ(shownPanelCount(), 1);

    panel->reject();
    settle();
    EXPECT_EQ(shownPanelCount(), 0);
    ASSERT_NE(doc->options(), nullptr) << "the options went with the panel";
    EXPECT_EQ(doc->options()->window(), doc->window());
    EXPECT_FALSE(doc->options()->isVisible());
    EXPECT_EQ(doc->savePanel(), nullptr);
}

TEST(SavePanel, APickIsRequiredAtOnceAndByEveryLaterPanel) {
    ScratchDir dir;
    Harness h;
    MyDocument* a = h.controller.openDocument(writeQuadrants(dir / "a.vrs", 31, 17));
    MyDocument* b = h.controller.openDocument(writeQuadrants(dir / "b.vrs", 19, 29));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    const QString shownByB = formatPopUp(b)->currentText();

    a->saveDocument();
    QFileDialog* panel = shownPanel();
    ASSERT_NE(panel, nullptr);
    pick(formatPopUp(a), QStringLiteral("bmp"));
    EXPECT_EQ(panel->defaultSuffix(), QStringLiteral("bmp"));
    EXPECT_EQ(typedName(panel), QStringLiteral("a.bmp"));
    pick(formatPopUp(a), QStringLiteral("png"));
    EXPECT_EQ(savePathExtension(), QStringLiteral("png"));
    EXPECT_EQ(panel->defaultSuffix(), QStringLiteral("png"));
    EXPECT_EQ(typedName(panel), QStringLiteral("a.png"));
    // A name the user typed keeps its own suffix and gets the pick after it.
    nameField(panel)->setText(QStringLiteral("notes.v2"));
    pick(formatPopUp(a), QStringLiteral("gif"));
    EXPECT_EQ(typedName(panel), QStringLiteral("notes.v2.gif"));
    pick(formatPopUp(a), QStringLiteral("png"));
    EXPECT_EQ(typedName(panel), QStringLiteral("notes.v2.png"));
    panel->reject();
    settle();

    // b's pop-up still shows its item; its panel requires the pick.
    EXPECT_EQ(formatPopUp(b)->currentText(), shownByB);
    b->saveDocumentAs();
    panel = shownPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->defaultSuffix(), QStringLiteral("png"));
    EXPECT_EQ(typedName(panel), QStringLiteral("b.png"));
    saveAs(panel, dir / "b-out");
    settle();
    EXPECT_TRUE(h.alerts.empty());
    QImageReader reader(QString::fromStdString((dir / "b-out.png").string()));
    EXPECT_EQ(reader.format(), QByteArray("png"));
    EXPECT_EQ(reader.size(), QSize(19, 29));
}

TEST(SavePanel, ControlsWithoutTagOneChangeNothing) {
    ScratchDir dir;
    Harness h;
    rememberExtension(h, dir, QStringLiteral("gif"));
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "t.vrs", 11, 5));
    ASSERT_NE(doc, nullptr);
    doc->saveDocument();
    QFileDialog* panel = shownPanel();
    ASSERT_NE(panel, nullptr);
    QComboBox* popUp = formatPopUp(doc);

    popUp->setProperty("tag", 2);
    pick(popUp, QStringLiteral("tiff"));
    popUp->setProperty("tag", QVariant());  // no tag at all
    pick(popUp, QStringLiteral("bmp"));
    auto* other = new QComboBox(doc->options());  // a control of another kind of tag
    other->addItems({QStringLiteral("png"), QStringLiteral("tif")});
    other->setProperty("tag", 0);
    doc->myAction(other);
    doc->myAction(nullptr);

    EXPECT_EQ(savePathExtension(), QStringLiteral("gif"));
    EXPECT_EQ(panel->defaultSuffix(), QStringLiteral("gif"));
    EXPECT_EQ(typedName(panel), QStringLiteral("t.gif"));

    popUp->setProperty("tag", 1);
    pick(popUp, QStringLiteral("png"));
    EXPECT_EQ(panel->defaultSuffix(), QStringLiteral("png"));
    panel->reject();
    settle();
}

TEST(SavePanel, CancelWritesNothingAndShowsNothing) {
    ScratchDir dir;
    Harness h;
    vrs::testing::VrsLayout layout;
    layout.depth = 16;
    layout.width = 23;
    layout.height = 11;
    ASSERT_TRUE(
        vrs::testing::writeVrsFile((dir / "c.vrs").string(), layout, vrs::testing::skewedPixel));
    MyDocument* doc = h.controller.openDocument(QString::fromStdString((dir / "c.vrs").string()));
    ASSERT_NE(doc, nullptr);
    ProgressWatcher progress;

    doc->saveDocument();
    QFileDialog* panel = shownPanel();
    ASSERT_NE(panel, nullptr);
    nameField(panel)->setText(QString::fromStdString((dir / "cancelled.png").string()));
    panel->reject();
    settle();

    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"c.vrs"});
    EXPECT_TRUE(h.alerts.empty());
    EXPECT_EQ(progress.shown, 0);
    EXPECT_EQ(shownPanelCount(), 0);
}

// The file selected in the panel's list, or an empty string.
QString selectedInList(QFileDialog* panel) {
    auto* list = panel->findChild<QListView*>(QStringLiteral("listView"));
    const QModelIndexList rows =
        list != nullptr ? list->selectionModel()->selectedRows() : QModelIndexList();
    return rows.size() == 1 ? rows.front().data().toString() : QString();
}

// Goes to the file's folder and clicks the file in the list once it is listed.
QString clickInList(QFileDialog* panel, const std::filesystem::path& file) {
    panel->setDirectory(QString::fromStdString(file.parent_path().string()));
    auto* list = panel->findChild<QListView*>(QStringLiteral("listView"));
    const QString name = QString::fromStdString(file.filename().string());
    QModelIndex row;
    QElapsedTimer waited;
    waited.start();
    while (!row.isValid() && waited.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        const QModelIndexList found =
            list->model()->match(list->model()->index(0, 0, list->rootIndex()), Qt::DisplayRole,
                                 name, 1, Qt::MatchExactly);
        row = found.value(0);
    }
    const QPoint at = list->visualRect(row).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &click);
    }
    return selectedInList(panel);
}

// Picks as with the mouse: the pop-up takes the focus from the name field.
void pickWithFocus(QComboBox* popUp, const QString& text) {
    popUp->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(popUp->hasFocus());
    pick(popUp, text);
}

// Presses Save and answers a replace question with `answer`; returns its text.
QString saveAnswering(QFileDialog* panel, QMessageBox::StandardButton answer) {
    QString asked;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            asked = box->text();
            box->button(answer)->click();
        }
    });
    panel->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
    return asked;
}

TEST(SavePanel, SavesUnderTheNameShownWhenAFormatIsPickedOverASelectedFile) {
    ScratchDir dir;
    Harness h;
    rememberExtension(h, dir, QStringLiteral("jpeg"));
    const std::vector<std::uint8_t> jpeg{0xFF, 0xD8, 'k', 'e', 'e', 'p'};
    ASSERT_TRUE(vrs::testing::writeFile((dir / "small.jpeg").string(), jpeg));
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "small.vrs", 13, 7));
    ASSERT_NE(doc, nullptr);

    doc->saveDocument();
    QFileDialog* panel = shownPanel();
    ASSERT_NE(panel, nullptr);
    // The user goes to the folder and clicks small.jpeg, the proposed name.
    ASSERT_EQ(clickInList(panel, dir / "small.jpeg").toStdString(), "small.jpeg");
    pickWithFocus(formatPopUp(doc), QStringLiteral("png"));
    EXPECT_EQ(typedName(panel), QStringLiteral("small.png"));
    EXPECT_EQ(saveAnswering(panel, QMessageBox::No).toStdString(), "") << "no file to replace";
    settle();
    EXPECT_TRUE(h.alerts.empty());
    EXPECT_EQ(vrs::testing::readFile((dir / "small.jpeg").string()), jpeg);
    QImageReader reader(QString::fromStdString((dir / "small.png").string()));
    EXPECT_EQ(reader.format(), QByteArray("png"));
    EXPECT_EQ(reader.size(), QSize(13, 7));

    // Now small.png is proposed and selected; the question names the file
    // that would be replaced, and No keeps both.
    doc->saveDocument();
    panel = shownPanel();
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(clickInList(panel, dir / "small.png").toStdString(), "small.png");
    pickWithFocus(formatPopUp(doc), QStringLiteral("jpeg"));
    const QString asked = saveAnswering(panel, QMessageBox::No);
    EXPECT_TRUE(asked.startsWith(QStringLiteral("small.jpeg already exists.")))
        << asked.toStdString();
    panel->reject();
    settle();
    EXPECT_EQ(vrs::testing::readFile((dir / "small.jpeg").string()), jpeg);
    EXPECT_EQ(filesIn(dir.path()),
              (std::vector<std::string>{"setup.vrs", "small.jpeg", "small.png", "small.vrs"}));
}

void sendMouse(QWidget* view, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, view->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &event);
}

TEST(SaveExport, WritesTheWholeFullImageWhileTheViewIsZoomedIn) {
    ScratchDir dir;
    Harness h;
    // Wider than 1600: the window shows a reduced view image.
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "big.vrs", 1703, 413));
    ASSERT_NE(doc, nullptr);
    ASSERT_LT(doc->viewImage()->size().width, 1703);
    QApplication::processEvents();

    MyImageView* view = doc->view();
    const QPointF from(view->width() / 2.0, view->height() / 2.0);
    sendMouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(view, QEvent::MouseMove, from + QPointF(12, 9), Qt::LeftButton);
    sendMouse(view, QEvent::MouseButtonRelease, from + QPointF(12, 9), Qt::NoButton);
    const vrs::CGRect zoomed = view->clipedRect();
    ASSERT_FALSE(vrs::NSIsEmptyRect(zoomed));
    ASSERT_LT(zoomed.size.width, doc->viewImage()->size().width / 10);

    doc->saveDocument();
    QFileDialog* panel = shownPanel();
    ASSERT_NE(panel, nullptr);
    pick(formatPopUp(doc), QStringLiteral("png"));
    saveAs(panel, dir / "whole");
    settle();
    EXPECT_TRUE(h.alerts.empty());
    EXPECT_EQ(view->clipedRect(), zoomed);

    QImageReader reader(QString::fromStdString((dir / "whole.png").string()));
    ASSERT_EQ(reader.size(), QSize(1703, 413));
    const QImage out = reader.read();
    ASSERT_FALSE(out.isNull());
    EXPECT_EQ(out.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);       // red top-left
    EXPECT_EQ(out.pixel(1702, 0) & 0xFFFFFF, 0x00FF00u);    // green top-right
    EXPECT_EQ(out.pixel(0, 412) & 0xFFFFFF, 0x0000FFu);     // blue bottom-left
    EXPECT_EQ(out.pixel(1702, 412) & 0xFFFFFF, 0xFF8000u);  // orange bottom-right
    EXPECT_EQ(out.pixel(850, 206) & 0xFFFFFF, 0x0000FFu);   // the quadrants meet at (851, 206)
    EXPECT_EQ(out.pixel(851, 206) & 0xFFFFFF, 0xFF8000u);
}

// A viewer whose clock runs 100 ticks per reading: a 16-bit decode is "slow"
// from its first row on and shows a progress window.
struct SlowClockHarness {
    SlowClockHarness() {
        testApplication();
        host.setAlertFunction([this](const QString& m) { alerts.push_back(m); });
    }
    std::uint32_t ticks = 0;
    MyObject delegate;
    QtHost host{[this] { return ticks += 100; }};
    DocumentController controller{host, delegate};
    std::vector<QString> alerts;
};

QString write16(const ScratchDir& dir, const std::string& name, std::uint32_t w, std::uint32_t h) {
    vrs::testing::VrsLayout layout;
    layout.depth = 16;
    layout.width = w;
    layout.height = h;
    const std::string path = (dir / name).string();
    EXPECT_TRUE(vrs::testing::writeVrsFile(path, layout, vrs::testing::skewedPixel));
    return QString::fromStdString(path);
}

void exportTo(MyDocument* doc, const QString& extension, const std::filesystem::path& path) {
    doc->saveDocument();
    QFileDialog* panel = shownPanel();
    ASSERT_NE(panel, nullptr);
    pick(formatPopUp(doc), extension);
    saveAs(panel, path);
    settle();
}

TEST(SaveExport, ProgressWindowOnlyForADocumentWhoseDecodeShowedOne) {
    ScratchDir dir;
    SlowClockHarness h;
    MyDocument* slow = h.controller.openDocument(write16(dir, "slow.vrs", 97, 61));
    ASSERT_NE(slow, nullptr);
    ASSERT_GE(slow->progressCount(), 2) << "the decode showed no progress window";
    MyDocument* quick = h.controller.openDocument(writeQuadrants(dir / "quick.vrs", 97, 61));
    ASSERT_NE(quick, nullptr);
    ASSERT_LT(quick->progressCount(), 2);

    {
        ProgressWatcher progress;
        exportTo(slow, QStringLiteral("png"), dir / "slow");
        EXPECT_EQ(progress.shown, 1);
        EXPECT_EQ(progress.titles, (std::vector<QString>{QStringLiteral("make tiff data"),
                                                         QStringLiteral("convert to png data"),
                                                         QStringLiteral("write to file")}));
    }
    {
        ProgressWatcher progress;
        exportTo(quick, QStringLiteral("png"), dir / "quick");
        EXPECT_EQ(progress.shown, 0);
        EXPECT_TRUE(progress.titles.empty());
    }
    EXPECT_TRUE(h.alerts.empty());
    EXPECT_EQ(QImageReader(QString::fromStdString((dir / "slow.png").string())).size(),
              QSize(97, 61));
    EXPECT_EQ(QImageReader(QString::fromStdString((dir / "quick.png").string())).size(),
              QSize(97, 61));
    // No progress window is left on the screen.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(w->isVisible() && w->findChild<QProgressBar*>() != nullptr);
    }
}

TEST(SaveExport, AFailedWriteIsToldOnceAndLeavesNoFile) {
    ScratchDir dir;
    Harness h;
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "f.vrs", 13, 9));
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(vrs::testing::writeFile((dir / "plain").string(), {'x'}));

    exportTo(doc, QStringLiteral("png"), dir / "missing" / "pic.png");
    ASSERT_EQ(h.alerts.size(), 1u);
    EXPECT_TRUE(h.alerts[0].contains(QStringLiteral("pic.png"))) << h.alerts[0].toStdString();

    exportTo(doc, QStringLiteral("bmp"), dir / "plain" / "pic.bmp");
    ASSERT_EQ(h.alerts.size(), 2u);
    EXPECT_TRUE(h.alerts[1].contains(QStringLiteral("pic.bmp"))) << h.alerts[1].toStdString();

    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"f.vrs", "plain"}));
    EXPECT_EQ(vrs::testing::readFile((dir / "plain").string()), std::vector<std::uint8_t>{'x'});
}

TEST(SaveExport, TheFormatChosenNamesTheFileWhateverExtensionIsTyped) {
    ScratchDir dir;
    Harness h;
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "e.vrs", 13, 9));
    ASSERT_NE(doc, nullptr);
    exportTo(doc, QStringLiteral("png"), dir / "shout.PNG");
    exportTo(doc, QStringLiteral("png"), dir / "pic.tif");
    exportTo(doc, QStringLiteral("png"), dir / "picture.Png");
    EXPECT_TRUE(h.alerts.empty());
    EXPECT_EQ(filesIn(dir.path()),
              (std::vector<std::string>{"e.vrs", "pic.png", "picture.png", "shout.PNG"}));
    for (const char* name : {"pic.png", "picture.png", "shout.PNG"}) {
        QImageReader reader(QString::fromStdString((dir / name).string()));
        EXPECT_EQ(reader.format(), QByteArray("png")) << name;
    }
    EXPECT_EQ(savePathExtension(), QStringLiteral("png"));
}

// Even when the user answers Yes to replacing it, a name that is an open
// file (itself, a hard link, a symbolic link) is refused and nothing written.
TEST(SaveExport, NeverWritesOntoAFileOpenInAWindowByAnyName) {
    ScratchDir dir;
    Harness h;
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "in.vrs", 13, 9));
    ASSERT_NE(doc, nullptr);
    ASSERT_NE(h.controller.openDocument(writeQuadrants(dir / "other.vrs", 7, 5)), nullptr);
    // A capture that carries a picture's extension, open in its own window.
    ASSERT_NE(h.controller.openDocument(writeQuadrants(dir / "cap.png", 5, 3)), nullptr);
    namespace fs = std::filesystem;
    fs::create_symlink("in.vrs", dir / "link.png");
    fs::create_hard_link(dir / "in.vrs", dir / "hard.png");
    fs::create_symlink("other.vrs", dir / "other.png");
    const auto in = vrs::testing::readFile((dir / "in.vrs").string());
    const auto other = vrs::testing::readFile((dir / "other.vrs").string());
    const std::pair<const char*, const char*> names[] = {{"link.png", "in.vrs"},
                                                         {"hard.png", "in.vrs"},
                                                         {"other.png", "other.vrs"},
                                                         {"cap.png", "cap.png"}};
    for (const auto& [name, open] : names) {
        doc->saveDocument();
        QFileDialog* panel = shownPanel();
        ASSERT_NE(panel, nullptr);
        pick(formatPopUp(doc), QStringLiteral("png"));
        nameField(panel)->setText(QString::fromStdString((dir / name).string()));
        saveAnswering(panel, QMessageBox::Yes);
        settle();
        ASSERT_FALSE(h.alerts.empty()) << name;
        EXPECT_EQ(h.alerts.back().toStdString(),
                  std::string("The picture was not saved to \u201C") + name +
                      "\u201D: that is the open file \u201C" + open +
                      "\u201D, which saving would destroy. Choose another name.");
    }
    EXPECT_EQ(h.alerts.size(), 4u);
    EXPECT_EQ(vrs::testing::readFile((dir / "in.vrs").string()), in);
    EXPECT_EQ(vrs::testing::readFile((dir / "other.vrs").string()), other);
    EXPECT_EQ(filesIn(dir.path()),
              (std::vector<std::string>{"cap.png", "hard.png", "in.vrs", "link.png", "other.png",
                                        "other.vrs"}));
}

TEST(SaveExport, SaveAsOpensThePanelEveryTime) {
    ScratchDir dir;
    Harness h;
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "again.vrs", 17, 11));
    ASSERT_NE(doc, nullptr);
    QAction* save = apptest::commandWithKey(doc->window(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QAction* saveAsAction =
        apptest::commandWithKey(doc->window(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    ASSERT_NE(save, nullptr);
    ASSERT_NE(saveAsAction, nullptr);

    save->trigger();
    QFileDialog* panel = shownPanel();
    ASSERT_NE(panel, nullptr);
    pick(formatPopUp(doc), QStringLiteral("bmp"));
    saveAs(panel, dir / "one");
    settle();
    EXPECT_EQ(shownPanelCount(), 0);

    for (QAction* action : {saveAsAction, save, saveAsAction}) {
        action->trigger();
        panel = shownPanel();
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(typedName(panel), QStringLiteral("again.bmp"));
        EXPECT_EQ(doc->options()->window(), panel);
        panel->reject();
        settle();
    }
    saveAsAction->trigger();
    panel = shownPanel();
    ASSERT_NE(panel, nullptr);
    saveAs(panel, dir / "two.gif");  // the format chosen, bmp, names the file
    settle();
    EXPECT_TRUE(h.alerts.empty());
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"again.vrs", "one.bmp", "two.bmp"}));
}

TEST(SaveExport, ADocumentWithoutAFullImageIgnoresBothCommands) {
    ScratchDir dir;
    Harness h;
    const QString cut = writeQuadrants(dir / "cut.vrs", 64, 48);
    ASSERT_TRUE(QFile::resize(cut, 196 + 64 * 4 * 10));
    MyDocument* doc = h.controller.openDocument(cut);
    ASSERT_NE(doc, nullptr);
    ASSERT_FALSE(doc->fullImage());
    const std::size_t alerts = h.alerts.size();
    EXPECT_FALSE(
        apptest::commandWithKey(doc->window(), QKeySequence(Qt::CTRL | Qt::Key_S))->isEnabled());
    EXPECT_FALSE(
        apptest::commandWithKey(doc->window(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S))
            ->isEnabled());
    doc->saveDocument();
    doc->saveDocumentAs();
    EXPECT_EQ(shownPanelCount(), 0);
    EXPECT_EQ(doc->savePanel(), nullptr);
    EXPECT_EQ(h.alerts.size(), alerts);
}

}  // namespace
