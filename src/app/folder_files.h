// SPDX-License-Identifier: MIT
// The virtual-screen files beside a file, in the order a file manager shows
// them ("shot2" before "shot10"), for Go > Next File and Previous File.
// Names are bytes, as the folder holds them, whatever their encoding.
#pragma once

#include <QByteArray>
#include <QCollator>
#include <QList>

// Names a file manager sorts this way: numbers by value, case ignored, by the
// user's locale (English rules in the C locale, which has none for numbers).
QCollator fileNameCollator();

// The name that comes `step` (+1 or -1) places after `current` among the
// `.vrs` names (any case) of `names`, in the collator's order of the names as
// shown; `current` need not be among them. Empty at either end.
QByteArray neighbourName(const QList<QByteArray>& names, const QByteArray& current, int step,
                         const QCollator& collator);

// The first (`step` -1) or the last (+1) of the `.vrs` names of `names`, in
// the same order; empty when there is none.
QByteArray edgeName(const QList<QByteArray>& names, int step, const QCollator& collator);

// The same for a file on the disk, among the files of its folder: the
// neighbour's path, or empty.
QByteArray neighbourFile(const QByteArray& path, int step);
// The first or last file of the folder of `path`, or empty.
QByteArray edgeFile(const QByteArray& path, int step);
