// SPDX-License-Identifier: MIT
// With LANGUAGE=de the viewer's own texts and Qt's come in German. Alone in
// its program: the locale is read once, when first used.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QMenuBar>
#include <QPushButton>

#include "app/my_document.h"
#include "app/translations.h"
#include "app_test_support.h"
#include "test_support.h"

namespace {

TEST(German, MenusAndQtsOwnButtonsFollowTheLocale) {
    qputenv("LANGUAGE", "de");
    vrs::testing::ScratchDir dir;
    apptest::Harness h;
    installTranslations(*testApplication());
    ASSERT_TRUE(h.controller.launch({apptest::writeQuadrants(dir / "bild.vrs", 12, 8)}));
    const QList<QAction*> menus = h.controller.documents().front()->window()->menuBar()->actions();
    ASSERT_FALSE(menus.isEmpty());
    EXPECT_EQ(menus.front()->text(), "&Datei");
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "Abbrechen")
        << "Qt's own texts, from qt6-translations-l10n";
    h.controller.closeAll();
}

}  // namespace
