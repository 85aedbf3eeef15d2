// SPDX-License-Identifier: MIT
// With LANGUAGE=de the viewer's own texts and Qt's come in German. Alone in
// its program: the locale is read once, when first used.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QMenuBar>
#include <QPushButton>

#include "app/error_text.h"
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
    // A refusal's words come from the core's catalogue, translated, with
    // the core's figures.
    vrs::VirtualScreenInfo tooShort;
    tooShort.error = vrs::LoadError::TooShortForHeader;
    tooShort.fileSize = 1234;
    EXPECT_EQ(ErrorText::loadRefusal(tooShort, QStringLiteral("bild.vrs")),
              QStringLiteral("Die Datei \u201Ebild.vrs\u201C kann nicht gelesen werden: Sie "
                             "enth\u00E4lt 1,234 Bytes, aber eine Virtual-Screen-Datei beginnt "
                             "mit einem Kopf von 196 Bytes."));
    h.controller.closeAll();
}

}  // namespace
