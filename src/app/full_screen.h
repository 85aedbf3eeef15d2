// SPDX-License-Identifier: MIT
// View > Full Screen (F11): the view alone fills the screen, without the
// menu bar and the status line; Esc or F11 gives the window back as it was.
// A window manager may take a window out of full screen by itself (its own
// key, another window going full screen): the menu item and the hidden bars
// follow it.
#pragma once

class DocumentWindow;
class QMenu;

void addFullScreen(DocumentWindow& window, QMenu* viewMenu);
