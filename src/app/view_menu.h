// SPDX-License-Identifier: MIT
// The View menu of a document window: Zoom (F1) and Fit Window (F3), which
// call what the view's keys call; Actual Size, Zoom In and Zoom Out; Keep
// Zoom Across Files; Full Screen (full_screen.h). The Edit menu goes before
// it (edit_menu.h).
#pragma once

class DocumentWindow;
class MyDocument;
class QMenu;

// Adds the View menu to the window's menu bar and returns it.
QMenu* buildViewMenu(DocumentWindow& window, MyDocument& document);
