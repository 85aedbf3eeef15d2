// SPDX-License-Identifier: MIT
// The translation context of the texts of the menus, the About box and the
// command line: Menus::tr("...") is found by lupdate like a class's tr().
#pragma once

#include <QCoreApplication>

struct Menus {
    Q_DECLARE_TR_FUNCTIONS(Menus)
};

struct CommandLineText {
    Q_DECLARE_TR_FUNCTIONS(CommandLineText)
};

// The View and Edit menus, the full screen, the pixel inspector and the
// zoom level.
struct ViewMenu {
    Q_DECLARE_TR_FUNCTIONS(ViewMenu)
};
