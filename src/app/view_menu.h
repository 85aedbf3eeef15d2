// SPDX-License-Identifier: MIT
// The zoom and full-screen commands of the View menu, the Edit menu with
// Copy, and the zoom level beside the size line.
#pragma once

#include <QString>
#include <cstdint>

class DocumentWindow;
class MyDocument;
class QMenu;

// Adds Actual Size, Zoom In, Zoom Out and Full Screen to `viewMenu`, puts an
// Edit menu with Copy before it and shows the zoom level beside the size line.
void addViewCommands(DocumentWindow& window, MyDocument& document, QMenu* viewMenu);

// A colour 0xRRGGBB as the inspector shows it and Copy Colour copies it,
// "#1E1E2E".
QString colourText(std::uint32_t rgb);

// The zoom level as the window shows it, "100 %".
QString zoomLevelText(double percent);
