// SPDX-License-Identifier: MIT
// The image view's speed: one pan step's pass on a 16000 x 12000 picture
// zoomed to its middle half, a reduction of the view image to its window, a
// crop of 1000 x 1000 full-image pixels from the pass that asks for it to
// the pass that draws it, a view image made ready to draw, and the work of
// comparing two such pictures in compare mode.
//   QT_QPA_PLATFORM=offscreen build/default/bench/view/view_bench
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <vector>

#include "compare/compare_pictures.h"
#include "compare/diff_images.h"
#include "decode/image.h"
#include "view/area_reduce.h"
#include "view/my_image_view.h"

namespace {

std::shared_ptr<vrs::Image> picture(int w, int h) {
    auto rep = vrs::MakeNewImageRep(w, h);
    if (!rep) {
        return nullptr;
    }
    const auto stride = static_cast<std::size_t>(rep->bytesPerRow());
    for (std::size_t row = 0; row < static_cast<std::size_t>(h); ++row) {
        for (std::size_t x = 0; x < static_cast<std::size_t>(w); ++x) {
            const std::size_t at = row * stride + x;
            rep->plane(0)[at] = static_cast<std::uint8_t>(x * 7 + row);
            rep->plane(1)[at] = static_cast<std::uint8_t>(row * 3);
            rep->plane(2)[at] = static_cast<std::uint8_t>((x ^ row) & 0xff);
            rep->plane(3)[at] = 255;
        }
    }
    return std::make_shared<vrs::Image>(vrs::ImageSize{double(w), double(h)}, rep);
}

// The 16000 x 12000 picture and its 1600 x 1200 view image, made once.
struct Pictures {
    std::shared_ptr<vrs::Image> full = picture(16000, 12000);
    std::shared_ptr<vrs::Image> view = picture(1600, 1200);
};

const Pictures& pictures() {
    static const Pictures p;
    return p;
}

std::unique_ptr<MyImageView> shownView(int w, int h) {
    auto view = std::make_unique<MyImageView>();
    view->loadCursors();
    view->resize(w, h);
    view->setImage(pictures().view);
    view->setBigImage(pictures().full);
    view->show();
    QCoreApplication::processEvents();
    view->display();
    return view;
}

// A band from (x, y) of w x h points, released: the pass of the release asks
// for what the band shows.
void band(MyImageView& view, double x, double y, double w, double h) {
    view.mouseDown({x, y});
    view.mouseDragged({x + w, y + h});
    view.mouseUp();
}

// Pan steps of one point to and fro over the middle half of the picture.
void BM_PanStepMiddleHalf(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    auto view = shownView(w, h);
    const vrs::CGRect v = view->viewRect();
    band(*view, v.origin.x + v.size.width / 4, v.origin.y + v.size.height / 4, v.size.width / 2,
         v.size.height / 2);
    if (view->clipedRect().size.width != 800) {
        state.SkipWithError("not zoomed to the middle half");
        return;
    }
    const vrs::CGPoint press{w / 2.0, h / 2.0};
    view->mouseDown(press);
    int step = 0;
    for (auto _ : state) {
        ++step;
        view->mouseDragged({press.x + (step % 2), press.y + (step % 3)});
    }
    view->mouseUp();
}
BENCHMARK(BM_PanStepMiddleHalf)
    ->Args({1604, 1204})
    ->Args({804, 604})
    ->Args({404, 304})
    ->Unit(benchmark::kMillisecond);

// The view image of a 4000 x 3000 or larger picture, 1600 x 1200, reduced to
// the 1476 x 1107 pixels its window shows it at on a 1920 x 1200 screen: the
// first paint of such a picture.
void BM_ReduceViewImageForWindow(benchmark::State& state) {
    const int w = 1600;
    const int h = 1200;
    std::vector<std::uint32_t> in(static_cast<std::size_t>(w) * h);
    for (std::size_t i = 0; i < in.size(); ++i) {
        in[i] = 0xff000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    }
    const int outW = 1476;
    const int outH = 1107;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(outW) * outH);
    for (auto _ : state) {
        vrs::reduceArea({in.data(), static_cast<std::size_t>(w), w, h}, {0, 0, w, h}, out.data(),
                        static_cast<std::size_t>(outW), outW, outH);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_ReduceViewImageForWindow)->Unit(benchmark::kMillisecond);

// A pass of the whole picture (a window being resized or uncovered).
void BM_WholePicturePass(benchmark::State& state) {
    auto view = shownView(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        view->display();
    }
}
BENCHMARK(BM_WholePicturePass)
    ->Args({1604, 1204})
    ->Args({804, 604})
    ->Args({404, 304})
    ->Unit(benchmark::kMillisecond);

// From the start of the pass that asks for a 100 x 100 view-image region
// (1000 x 1000 full-image pixels) to the end of the pass that draws its crop.
void BM_CropLands1000x1000(benchmark::State& state) {
    auto view = shownView(1604, 1204);
    QEventLoop loop;
    bool drawn = false;
    QObject::connect(view.get(), &MyImageView::cropDrawn, &loop, [&] {
        drawn = true;
        loop.quit();
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    int i = 0;
    double askingPassMs = 0;
    for (auto _ : state) {
        view->mouseDown({800, 600});  // a click: the whole picture again
        view->mouseUp();
        const double x = 2 + (i * 97) % 1400;
        const double y = 2 + (i * 61) % 1000;
        ++i;
        QElapsedTimer timer;
        timer.start();
        band(*view, x, y, 100, 100);
        askingPassMs += static_cast<double>(timer.nsecsElapsed()) / 1e6;
        drawn = false;
        guard.start(5000);
        loop.exec();
        guard.stop();
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        if (!drawn) {
            state.SkipWithError("the crop was not drawn");
            break;
        }
    }
    state.counters["asking_pass_ms"] =
        benchmark::Counter(askingPassMs, benchmark::Counter::kAvgIterations);
    view.reset();  // stops and joins its drawing threads
}
BENCHMARK(BM_CropLands1000x1000)->UseManualTime()->Unit(benchmark::kMillisecond);

// Compare mode's job on two 16000 x 12000 pictures, the second with a
// change of 3 x 2 pixels and one of 500 x 400: the comparison of the full
// pictures on one thread, then the difference's full picture and view
// image, in memory never touched before (as in the viewer).
void BM_CompareModeJob(benchmark::State& state) {
    const vrs::PlanarBitmap& a = *pictures().full->rep();
    const std::shared_ptr<vrs::Image> changed = picture(16000, 12000);
    const vrs::PlanarBitmap& b = *changed->rep();
    const auto stride = static_cast<std::size_t>(b.bytesPerRow());
    for (std::size_t y = 5000; y < 5402; ++y) {
        for (std::size_t x = (y < 5002 ? 9000 : 100); x < (y < 5002 ? 9003 : 600); ++x) {
            b.plane(0)[y * stride + x] ^= 0x80;
        }
    }
    vrs::CompareOptions options;
    options.sharedArea = true;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const vrs::ComparisonResult result = vrs::comparePictures(
            vrs::PictureSource::ofBitmap(a), vrs::PictureSource::ofBitmap(b), options, 1);
        const double compared = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        const vrs::DiffImages difference = vrs::makeDiffImages(a, b, options, result.regions);
        state.counters["compare_ms"] = compared;
        state.counters["difference_ms"] =
            static_cast<double>(clock.nsecsElapsed()) / 1e6 - compared;
        if (!difference.full || result.regions.size() != 2) {
            state.SkipWithError("no difference made");
            return;
        }
    }
}
BENCHMARK(BM_CompareModeJob)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

// A view image handed to the view, as when a file has been read: its pixels
// are made ready to draw, in memory the process has not used before (the C
// library is kept from reusing the last one's: every large block is mapped
// afresh, as the first one of a process is). Last of all, since that
// setting stays for the rest of the run.
void BM_SetViewImage(benchmark::State& state) {
    if (mallopt(M_MMAP_THRESHOLD, 128 * 1024) != 1) {
        state.SkipWithError("mallopt refused");
        return;
    }
    const auto image = picture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    MyImageView view;
    for (auto _ : state) {
        view.setImage(image);
    }
}
BENCHMARK(BM_SetViewImage)->Args({1600, 1200})->Args({1600, 1000})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
