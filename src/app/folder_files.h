// SPDX-License-Identifier: MIT
// The virtual-screen files beside a file, in the order a file manager shows
// them ("shot2" before "shot10"), for Go > Next File and Previous File.
#pragma once

#include <QCollator>
#include <QString>
#include <QStringList>

// Names a file manager sorts this way: numbers by value, case ignored, by the
// user's locale (English rules in the C locale, which has none for numbers).
QCollator fileNameCollator();

// The name that comes `step` (+1 or -1) places after `current` among the
// `.vrs` names (any case) of `names`, in the collator's order; `current`
// need not be among them. Empty at either end.
QString neighbourName(const QStringList& names, const QString& current, int step,
                      const QCollator& collator);

// The same for a file on the disk, among the files of its folder: the
// neighbour's path, or empty.
QString neighbourFile(const QString& path, int step);
