// SPDX-License-Identifier: MIT
// The viewer's German (and any later) translation and Qt's own, chosen by the
// system locale (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
#pragma once

#include <QTranslator>
#include <memory>
#include <vector>

class QCoreApplication;

// Installs the translators found for the locale; none found leaves English.
void installTranslations(QCoreApplication& application);

// The same translators, read once for a run that makes two applications in
// turn (the command-line pass, then the windows) and installed in each.
class Translations {
  public:
    // Into the application of the moment; reads them the first time.
    void install();

  private:
    bool read_ = false;
    std::vector<std::unique_ptr<QTranslator>> found_;
};
