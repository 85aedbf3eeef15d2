// SPDX-License-Identifier: MIT
// QImages for pictures made to be drawn at once: the view image's pixels and
// its reduction to the window. Their memory is new to the process and
// written whole right away; it is a HugeBlock (platform/huge_block.h), so that a
// picture of several megabytes costs a few faults instead of thousands.
#pragma once

#include <QImage>

// A width x height RGB32 image of uninitialised pixels, rows packed
// (bytesPerLine() == 4 * width), or a null image when the size is not
// positive or no memory is left.
QImage makeScreenImage(int width, int height);
