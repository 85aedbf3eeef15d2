// SPDX-License-Identifier: MIT
#include "view_test_support.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <chrono>
#include <cmath>
#include <thread>

// Under LeakSanitizer: fontconfig keeps its caches until the process ends.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace vrs::testing {

void ensureApplication() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "view_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives as long as the process
}

std::shared_ptr<Image> makePicture(int w, int h, const std::function<Rgb(int, int)>& colour) {
    auto rep = MakeNewImageRep(w, h);
    if (!rep) {
        return nullptr;
    }
    if (colour) {
        const auto stride = static_cast<std::size_t>(rep->bytesPerRow());
        for (int row = 0; row < h; ++row) {
            for (int x = 0; x < w; ++x) {
                const Rgb c = colour(x, row);
                const std::size_t at = static_cast<std::size_t>(row) * stride + x;
                rep->plane(0)[at] = c.r;
                rep->plane(1)[at] = c.g;
                rep->plane(2)[at] = c.b;
                rep->plane(3)[at] = 255;
            }
        }
    }
    return std::make_shared<Image>(ImageSize{double(w), double(h)}, rep);
}

QImage renderView(MyImageView& view) {
    QImage image(view.size(), QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

Rgb pixelAt(const QImage& image, int x, int qtY) {
    const QRgb p = image.pixel(x, qtY);
    return {static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
            static_cast<std::uint8_t>(qBlue(p))};
}

std::unique_ptr<MyImageView> shownView(int w, int h, std::shared_ptr<Image> viewImage,
                                       std::shared_ptr<Image> fullImage) {
    ensureApplication();
    auto view = std::make_unique<MyImageView>();
    view->loadCursors();
    view->resize(w, h);
    if (viewImage) {
        view->setImage(std::move(viewImage));
    }
    if (fullImage) {
        view->setBigImage(std::move(fullImage));
    }
    view->show();
    (void)QTest::qWaitForWindowExposed(view.get());
    view->display();
    return view;
}

QPoint qtPoint(const MyImageView& view, double x, double yUp) {
    return {static_cast<int>(std::lround(x)), static_cast<int>(std::lround(view.height() - yUp))};
}

void pressAt(MyImageView& view, CGPoint p) {
    QTest::mousePress(&view, Qt::LeftButton, {}, qtPoint(view, p.x, p.y));
}

void moveTo(MyImageView& view, CGPoint p) {
    QTest::mouseMove(&view, qtPoint(view, p.x, p.y));
}

void releaseAt(MyImageView& view, CGPoint p) {
    QTest::mouseRelease(&view, Qt::LeftButton, {}, qtPoint(view, p.x, p.y));
}

void dragBand(MyImageView& view, CGPoint from, CGPoint to) {
    pressAt(view, from);
    moveTo(view, {(from.x + to.x) / 2, (from.y + to.y) / 2});
    moveTo(view, to);
    releaseAt(view, to);
}

bool waitForCrops(MyImageView& view) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 20000) {
        QCoreApplication::processEvents();
        if (view.deepZoom().cropsUnderWay() == 0) {
            // A crop that lands may start the next one.
            QCoreApplication::processEvents();
            if (view.deepZoom().cropsUnderWay() == 0 && !view.waitingForCrop()) {
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

bool near(CGRect a, CGRect b, double eps) {
    return std::abs(a.origin.x - b.origin.x) < eps && std::abs(a.origin.y - b.origin.y) < eps &&
           std::abs(a.size.width - b.size.width) < eps &&
           std::abs(a.size.height - b.size.height) < eps;
}

}  // namespace vrs::testing
