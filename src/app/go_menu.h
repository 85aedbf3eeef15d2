// SPDX-License-Identifier: MIT
// The Go menu of a document window: Next File (Page Down, Right) and Previous
// File (Page Up, Left) show the neighbouring virtual-screen file of the same
// folder in the same window.
#pragma once

class DocumentController;
class DocumentWindow;
class MyDocument;

void buildGoMenu(DocumentWindow& window, DocumentController& controller, MyDocument& document);
