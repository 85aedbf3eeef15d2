// SPDX-License-Identifier: MIT
// The menus of a document window: File, View, Help.
#pragma once

class DocumentController;
class DocumentWindow;
class MyDocument;
class QWidget;

// Save ("actionSave") and Save As ("actionSaveAs") open the document's export
// panel; they are enabled only for a document with a full image.
void buildDocumentMenus(DocumentWindow& window, DocumentController& controller,
                        MyDocument& document);

void showAboutBox(QWidget* parent);
