// SPDX-License-Identifier: MIT
// The Go menu of a document window: Next File (Page Down, Right) and Previous
// File (Page Up, Left) show the neighbouring virtual-screen file of the same
// folder in the same window, First File (Home) and Last File (End) its first
// and last. On a zoomed picture Left and Right pan instead (the view takes
// them).
#pragma once

class DocumentController;
class DocumentWindow;
class MyDocument;

void buildGoMenu(DocumentWindow& window, DocumentController& controller, MyDocument& document);
