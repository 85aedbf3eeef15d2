// SPDX-License-Identifier: MIT
// The comparing commands at the end of the View menu: Compare With… opens a
// file to compare the picture with (compare_mode.h); while comparing, and
// only then, Flip A and B (B), Show Difference (D), Next Change (N),
// Previous Change (Shift+N) and Stop Comparing (Esc). In full screen Esc
// leaves full screen first; pressed again, it stops comparing.
#pragma once

class DocumentController;
class DocumentWindow;
class MyDocument;
class QMenu;

void addCompareCommands(DocumentWindow& window, DocumentController& controller,
                        MyDocument& document, QMenu* viewMenu);
