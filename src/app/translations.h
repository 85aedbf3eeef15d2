// SPDX-License-Identifier: MIT
// The viewer's German (and any later) translation and Qt's own, chosen by the
// system locale (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
#pragma once

class QCoreApplication;

// Installs the translators found for the locale; none found leaves English.
void installTranslations(QCoreApplication& application);
