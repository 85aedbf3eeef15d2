// SPDX-License-Identifier: MIT
// The Edit menu of a document window, before its View menu: Copy (Ctrl+C)
// puts the region shown on the clipboard at the full picture's own pixels;
// Copy Colour the colour the pixel inspector last told, as "#RRGGBB" text.
#pragma once

class DocumentWindow;
class MyDocument;
class QMenu;

void buildEditMenu(DocumentWindow& window, MyDocument& document, QMenu* viewMenu);
