// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <algorithm>

#include "app/my_document.h"
#include "app_test_support.h"
#include "test_support.h"

namespace {

using apptest::Harness;
using apptest::writeQuadrants;
using vrs::testing::ScratchDir;

bool isWhite(QRgb c) {
    return qRed(c) > 235 && qGreen(c) > 235 && qBlue(c) > 235;
}

bool isGray(QRgb c) {
    const int hi = std::max({qRed(c), qGreen(c), qBlue(c)});
    const int lo = std::min({qRed(c), qGreen(c), qBlue(c)});
    return hi - lo <= 24 && hi <= 235;
}

bool near(QRgb c, int r, int g, int b) {
    return std::abs(qRed(c) - r) < 40 && std::abs(qGreen(c) - g) < 40 &&
           std::abs(qBlue(c) - b) < 40;
}

// Renders the first page of a PDF at 40 dpi.
QImage renderPdf(const ScratchDir& dir, const QString& pdf) {
    const QString prefix = QString::fromStdString((dir / "page").string());
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("40"),
                    QStringLiteral("-singlefile"), pdf, prefix});
    if (!pdftoppm.waitForFinished(60000) || pdftoppm.exitCode() != 0) {
        return QImage();
    }
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

class PrintTest : public ::testing::Test {
  protected:
    void SetUp() override {
        doc = h.controller.openDocument(writeQuadrants(dir / "print.vrs", 240, 160));
        ASSERT_NE(doc, nullptr);
        // A view wider than the picture: on the screen the bezel fills the sides.
        doc->window()->resize(doc->window()->width() + 200, doc->window()->height());
        QApplication::processEvents();
        pdf = QString::fromStdString((dir / "out.pdf").string());
    }

    ScratchDir dir;
    Harness h;
    MyDocument* doc = nullptr;
    QString pdf;
    int dialogs = 0;
};

TEST_F(PrintTest, PrintsThePictureWithoutBezelToAPdfFile) {
    doc->setPrintDialog([this](QPrinter& printer, QWidget*) {
        ++dialogs;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        // A screen repaint while the dialog is up.
        doc->view()->repaint();
        return true;
    });
    doc->printDocument();
    EXPECT_EQ(dialogs, 1);
    ASSERT_TRUE(QFile::exists(pdf));

    const QImage page = renderPdf(dir, pdf);
    ASSERT_FALSE(page.isNull()) << "pdftoppm (poppler-utils) failed";
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    int gray = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QRgb c = page.pixel(x, y);
            gray += isGray(c) ? 1 : 0;
            if (!isWhite(c)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_EQ(gray, 0) << "bezel gray on the page";
    ASSERT_GT(right, left);
    ASSERT_GT(bottom, top);
    const double w = right - left + 1;
    const double hgt = bottom - top + 1;
    EXPECT_NEAR(w / hgt, 1.5, 0.08);  // the picture alone, scaled to the page width
    EXPECT_GT(w, page.width() * 0.4);
    auto at = [&](double fx, double fy) {
        return page.pixel(left + static_cast<int>(w * fx), top + static_cast<int>(hgt * fy));
    };
    EXPECT_TRUE(near(at(0.25, 0.25), 255, 0, 0));
    EXPECT_TRUE(near(at(0.75, 0.25), 0, 255, 0));
    EXPECT_TRUE(near(at(0.25, 0.75), 0, 0, 255));
    EXPECT_TRUE(near(at(0.75, 0.75), 255, 128, 0));
}

TEST_F(PrintTest, CancelledPrintWritesNothing) {
    doc->setPrintDialog([this](QPrinter& printer, QWidget*) {
        ++dialogs;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return false;
    });
    doc->printDocument();
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(QFile::exists(pdf));
}

}  // namespace
