// SPDX-License-Identifier: MIT
#include "app/compare_mode.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QTest>
#include <vector>

#include "app/my_document.h"
#include "app_test_support.h"
#include "geometry/zoom_steps.h"
#include "test_support.h"

namespace {

using apptest::Harness;
using vrs::testing::Rgb;
using vrs::testing::ScratchDir;

// Quadrants in colours a 16-bit file holds exactly, with rectangles {x0,
// y0, x1, y1} (from the top-left corner) painted in cyan: B to an A without
// them.
QString writePicture(const std::filesystem::path& path, std::uint32_t w, std::uint32_t h,
                     const std::vector<vrs::PixelBox>& patches = {}, int depth = 32) {
    vrs::testing::VrsLayout layout;
    layout.width = w;
    layout.height = h;
    layout.depth = depth;
    const bool ok = vrs::testing::writeVrsFile(
        path.string(), layout, [&](std::int64_t x, std::int64_t y) -> Rgb {
            for (const vrs::PixelBox& p : patches) {
                if (x >= p.x0 && x < p.x1 && y >= p.y0 && y < p.y1) {
                    return {0, 248, 248};
                }
            }
            const bool right = x >= w / 2;
            if (y < h / 2) {
                return right ? Rgb{0, 248, 0} : Rgb{248, 0, 0};
            }
            return right ? Rgb{248, 128, 0} : Rgb{0, 0, 248};
        });
    return ok ? QString::fromStdString(path.string()) : QString();
}

bool found(MyDocument* document) {
    return QTest::qWaitFor([document] { return document->comparison().found(); }, 30000);
}

// The shown region in full-image pixels from the top-left corner, {x0, y0, x1, y1}.
vrs::PixelBox shownPixels(const MyImageView& view) {
    const vrs::ViewFrame f = *view.frame();
    const vrs::CGRect& r = f.fullRegion;
    const auto top =
        static_cast<std::int64_t>(std::lround(f.full.height - r.origin.y - r.size.height));
    const auto left = static_cast<std::int64_t>(std::lround(r.origin.x));
    return {left, top, left + std::lround(r.size.width), top + std::lround(r.size.height)};
}

// The colour the view shows from its full image at pixel (x, y) from the
// top-left corner; ~0u off what is shown.
std::uint32_t shownColour(const MyImageView& view, int x, int y) {
    const vrs::ViewFrame f = *view.frame();
    const vrs::CGPoint centre{x + 0.5, f.full.height - y - 0.5};
    const vrs::CGPoint p = vrs::NSMapPt(centre, f.fullRegion, f.viewRect);
    int px = 0;
    int py = 0;
    std::uint32_t rgb = 0;
    return view.probe(p, &px, &py, &rgb) && px == x && py == y ? rgb : ~0u;
}

QAction* command(DocumentWindow* window, QKeySequence key) {
    return apptest::commandWithKey(window, key);
}

// B flips in place, D shows the difference in place, the keys work only
// while comparing, and Stop Comparing gives A back as it was shown.
TEST(CompareMode, FlipsAndShowsTheDifferenceInPlace) {
    ScratchDir dir;
    Harness h;
    // Wider than 1600: its view image is reduced, and at actual size the
    // detail comes from the full picture.
    MyDocument* doc = h.controller.openDocument(writePicture(dir / "a.vrs", 1700, 300));
    ASSERT_NE(doc, nullptr);
    DocumentWindow* window = doc->window();
    MyImageView* view = doc->view();
    EXPECT_FALSE(command(window, Qt::Key_B)->isEnabled()) << "B is no key before comparing";
    view->actualSize();
    const vrs::PixelBox region = shownPixels(*view);
    const std::vector<vrs::PixelBox> patch = {{region.x0 + 10, 100, region.x0 + 13, 102}};
    const QString b = writePicture(dir / "b.vrs", 1700, 300, patch, 16);
    ASSERT_TRUE(h.controller.compareWith(*doc, b.toUtf8()));
    CompareMode& mode = doc->comparison();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("A: a.vrs (compared with b.vrs)"));
    ASSERT_TRUE(found(doc));
    EXPECT_EQ(doc->sizeText()->text(), QStringLiteral("6 pixels differ in 1 region"));
    EXPECT_EQ(shownPixels(*view), region);
    const int px = static_cast<int>(patch[0].x0);
    const int py = static_cast<int>(patch[0].y0);
    EXPECT_EQ(mode.colours(px, py), QStringLiteral("A #F80000  B #00F8F8"));

    ASSERT_TRUE(view->frame()->fromFull);
    command(window, Qt::Key_B)->trigger();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("B: b.vrs (compared with a.vrs)"));
    EXPECT_EQ(shownPixels(*view), region);
    EXPECT_FALSE(view->waitingForCrop()) << "B's detail drawn at once, never its view image";
    EXPECT_EQ(shownColour(*view, px, py), 0x00F8F8u);
    EXPECT_TRUE(view->fiveBitChannels());

    command(window, Qt::Key_D)->trigger();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Difference of a.vrs and b.vrs"));
    EXPECT_EQ(shownPixels(*view), region);
    EXPECT_EQ(shownColour(*view, px, py), 0xFF0000u);
    EXPECT_EQ(shownColour(*view, px + 2, py + 1), 0xFF0000u);
    const std::uint32_t grey = shownColour(*view, px + 20, py);
    EXPECT_TRUE(grey != 0xFF0000u && (grey & 0xFF) == ((grey >> 8) & 0xFF)) << std::hex << grey;
    command(window, Qt::Key_D)->trigger();
    EXPECT_EQ(mode.shown(), CompareMode::Shown::B) << "D again: the picture shown before";
    command(window, Qt::Key_B)->trigger();
    EXPECT_EQ(shownColour(*view, px, py), 0xF80000u) << "A's red quadrant";

    window->findChild<QAction*>(QStringLiteral("actionStopComparing"))->trigger();
    EXPECT_FALSE(mode.active());
    EXPECT_FALSE(command(window, Qt::Key_D)->isEnabled());
    EXPECT_EQ(view->image(), doc->viewImage());
    EXPECT_EQ(shownPixels(*view), region);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("a.vrs"));
    EXPECT_EQ(doc->sizeText()->text(), sizeLine(1700, 300));
}

// N and Shift+N step through the regions largest first, round, each shown
// whole, about its centre where the picture allows, never beyond actual size.
TEST(CompareMode, NextChangeShowsEachRegionWholeAtMostAtActualSize) {
    ScratchDir dir;
    Harness h;
    const std::vector<vrs::PixelBox> patches = {
        {1000, 300, 1003, 302}, {30, 500, 1530, 650}, {1690, 0, 1700, 20}};
    MyDocument* doc = h.controller.openDocument(writePicture(dir / "a.vrs", 1700, 700));
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(
        h.controller.compareWith(*doc, writePicture(dir / "b.vrs", 1700, 700, patches).toUtf8()));
    ASSERT_TRUE(found(doc));
    MyImageView* view = doc->view();
    CompareMode& mode = doc->comparison();
    const auto contains = [](const vrs::PixelBox& shown, const vrs::PixelBox& p) {
        return shown.x0 <= p.x0 && shown.y0 <= p.y0 && shown.x1 >= p.x1 && shown.y1 >= p.y1;
    };
    const auto percent = [view] { return vrs::zoomPercent(*view->frame()); };

    mode.step(+1);  // the largest, wider than the view at actual size
    EXPECT_TRUE(contains(shownPixels(*view), patches[1]));
    EXPECT_LT(percent(), 100);
    mode.step(+1);  // in the corner: kept inside the picture
    EXPECT_TRUE(contains(shownPixels(*view), patches[2]));
    EXPECT_EQ(shownPixels(*view).x1, 1700);
    EXPECT_EQ(shownPixels(*view).y0, 0);
    mode.step(+1);  // the smallest, shown at actual size about its centre
    const vrs::PixelBox shown = shownPixels(*view);
    EXPECT_TRUE(contains(shown, patches[0]));
    EXPECT_NEAR(percent(), 100, 1e-9);
    EXPECT_NEAR((shown.x0 + shown.x1) / 2.0, 1001.5, 1);
    EXPECT_NEAR((shown.y0 + shown.y1) / 2.0, 301, 1);
    mode.step(+1);
    EXPECT_TRUE(contains(shownPixels(*view), patches[1])) << "round to the first";
    mode.step(-1);
    EXPECT_TRUE(contains(shownPixels(*view), patches[0])) << "Shift+N back to the last";
}

// Pictures of different sizes lie on each other at their top-left corners:
// a flip shows the same pixels, the size line tells both sizes and what
// differs where they overlap, and the difference covers that area.
TEST(CompareMode, PicturesOfDifferentSizesAreLaidOnEachOtherAtTheTopLeft) {
    ScratchDir dir;
    Harness h;
    MyDocument* doc = h.controller.openDocument(writePicture(dir / "a.vrs", 900, 700));
    ASSERT_NE(doc, nullptr);
    MyImageView* view = doc->view();
    view->showArea({100, 50, 40, 30});
    const vrs::PixelBox region = shownPixels(*view);
    ASSERT_TRUE(h.controller.compareWith(*doc, writePicture(dir / "b.vrs", 1000, 500).toUtf8()));
    ASSERT_TRUE(found(doc));
    EXPECT_TRUE(doc->sizeText()->text().startsWith(
        QStringLiteral("sizes differ: 900 x 700 and 1000 x 500 (in the area both share: ")))
        << doc->sizeText()->text().toStdString();
    doc->comparison().flip();
    EXPECT_EQ(shownPixels(*view), region);
    doc->comparison().toggleDifference();
    EXPECT_EQ(view->viewState().full, (vrs::CGSize{900, 500}));
    EXPECT_EQ(shownPixels(*view), region);
    EXPECT_EQ(doc->comparison().colours(950, 100), QStringLiteral("A –  B #00F800"));

    // Another file shown as A is compared with the same B.
    ASSERT_TRUE(h.controller.openInPlace(*doc, writePicture(dir / "c.vrs", 1000, 500)));
    EXPECT_EQ(doc->comparison().shown(), CompareMode::Shown::A);
    ASSERT_TRUE(found(doc));
    EXPECT_EQ(doc->sizeText()->text(), QStringLiteral("identical"));
    EXPECT_EQ(doc->window()->windowTitle(), QStringLiteral("A: c.vrs (compared with b.vrs)"));
}

// A B that cannot be read is told as any file is and leaves A shown; a
// comparison stopped while it runs, or a document closed meanwhile, waits
// for its thread.
TEST(CompareMode, AnUnreadableBLeavesAShownAndAStoppedComparisonEnds) {
    ScratchDir dir;
    Harness h;
    MyDocument* doc = h.controller.openDocument(writePicture(dir / "a.vrs", 800, 600));
    ASSERT_NE(doc, nullptr);
    const QString cut = writePicture(dir / "cut.vrs", 800, 600);
    ASSERT_TRUE(QFile::resize(cut, 196 + 800 * 4 * 10));
    EXPECT_FALSE(h.controller.compareWith(*doc, cut.toUtf8()));
    ASSERT_EQ(h.alerts.size(), 1u);
    EXPECT_TRUE(h.alerts[0].startsWith(QStringLiteral("The file \"cut.vrs\" can't be read")));
    EXPECT_FALSE(doc->comparison().active());
    EXPECT_EQ(doc->view()->image(), doc->viewImage());
    EXPECT_EQ(doc->window()->windowTitle(), QStringLiteral("a.vrs"));

    const QString b = writePicture(dir / "b.vrs", 800, 600, {{0, 0, 800, 600}});
    ASSERT_TRUE(h.controller.compareWith(*doc, b.toUtf8()));
    doc->comparison().stop();
    EXPECT_FALSE(doc->comparison().active());
    ASSERT_TRUE(h.controller.compareWith(*doc, b.toUtf8()));
    h.controller.closeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(h.controller.documents().empty());
}

// Esc belongs to full screen first: one command at a time holds it.
TEST(CompareMode, EscLeavesFullScreenBeforeComparing) {
    ScratchDir dir;
    Harness h;
    MyDocument* doc = h.controller.openDocument(writePicture(dir / "a.vrs", 64, 48));
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(h.controller.compareWith(*doc, writePicture(dir / "b.vrs", 64, 48).toUtf8()));
    DocumentWindow* window = doc->window();
    const auto escapes = [window] {
        std::vector<QAction*> enabled;
        for (QAction* action : window->actions()) {
            if (action->isEnabled() && action->shortcuts().contains(Qt::Key_Escape)) {
                enabled.push_back(action);
            }
        }
        return enabled;
    };
    auto* full = window->findChild<QAction*>(QStringLiteral("actionFullScreen"));
    auto* stop = window->findChild<QAction*>(QStringLiteral("actionStopComparing"));
    ASSERT_TRUE(full != nullptr && stop != nullptr);
    EXPECT_EQ(escapes(), std::vector<QAction*>{stop});
    full->setChecked(true);
    ASSERT_EQ(escapes().size(), 1u);
    escapes()[0]->trigger();
    EXPECT_FALSE(full->isChecked());
    EXPECT_TRUE(doc->comparison().active());
    EXPECT_EQ(escapes(), std::vector<QAction*>{stop});
}

TEST(CompareMode, TheSizeLineTellsWhatWasFound) {
    vrs::ComparisonResult r;
    r.widthA = r.widthB = 640;
    r.heightA = r.heightB = 480;
    EXPECT_EQ(comparisonText(r), QStringLiteral("identical"));
    r.counts.differing = 1;
    r.regions.resize(1);
    EXPECT_EQ(comparisonText(r), QStringLiteral("1 pixel differs in 1 region"));
    r.counts.differing = 12345;
    r.regions.resize(3);
    EXPECT_EQ(comparisonText(r), QStringLiteral("12,345 pixels differ in 3 regions"));
    r.widthB = 800;
    r.heightB = 600;
    EXPECT_EQ(comparisonText(r), QStringLiteral("sizes differ: 640 x 480 and 800 x 600 (in the "
                                                "area both share: 12,345 pixels differ in 3 "
                                                "regions)"));
    r.failureB.problem = vrs::ReadProblem::OutOfMemory;
    EXPECT_TRUE(comparisonText(r).contains(QStringLiteral("not enough memory")));
}

}  // namespace
