// The menus of a document window: File, View, Help.
#pragma once

class DocumentController;
class DocumentWindow;
class MyDocument;
class QWidget;

// Save ("actionSave") and Save As ("actionSaveAs") are made disabled; the
// export wires and enables them.
void buildDocumentMenus(DocumentWindow& window, DocumentController& controller,
                        MyDocument& document);

void showAboutBox(QWidget* parent);
