// SPDX-License-Identifier: MIT
// The first export of a run, in a program of its own so that no other export
// has picked a format before it.
#include <gtest/gtest.h>

#include <QImageReader>

#include "app_test_support.h"
#include "save_test_support.h"
#include "test_support.h"

namespace {

using namespace apptest;
using vrs::testing::ScratchDir;

TEST(FirstExport, ProposesJpegWhateverThePopUpShows) {
    ScratchDir dir;
    Harness h;
    MyDocument* doc = h.controller.openDocument(writeQuadrants(dir / "first.vrs", 37, 23));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(savePathExtension(), QStringLiteral("jpeg"));
    QComboBox* popUp = formatPopUp(doc);
    ASSERT_NE(popUp, nullptr);
    popUp->setCurrentIndex(popUp->findText(QStringLiteral("gif")));  // shown, not picked

    doc->saveDocument();
    QFileDialog* panel = shownPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->defaultSuffix(), QStringLiteral("jpeg"));
    EXPECT_EQ(typedName(panel), QStringLiteral("first.jpeg"));

    // A name typed without extension gets the required one.
    saveAs(panel, dir / "typed");
    settle();
    EXPECT_TRUE(h.alerts.empty());
    QImageReader reader(QString::fromStdString((dir / "typed.jpeg").string()));
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    EXPECT_EQ(reader.size(), QSize(37, 23));
    EXPECT_EQ(savePathExtension(), QStringLiteral("jpeg"));
}

}  // namespace
