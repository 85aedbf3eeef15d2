<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Application</name>
    <message>
        <source>%1: no display to show windows on (set DISPLAY or WAYLAND_DISPLAY, or start it in a desktop session).</source>
        <translation>%1: Kein Bildschirm, auf dem Fenster erscheinen können (DISPLAY oder WAYLAND_DISPLAY setzen oder in einer Desktop-Sitzung starten).</translation>
    </message>
</context>
<context>
    <name>CommandLineText</name>
    <message>
        <source>Shows virtual-screen capture files (.vrs), each in its own window.
Without a file, asks for some with the Open dialog.</source>
        <translation>Zeigt Virtual-Screen-Aufnahmen (.vrs), jede in einem eigenen Fenster.
Ohne Datei fragt der Öffnen-Dialog nach welchen.</translation>
    </message>
    <message>
        <source>Files to open: paths or file:// URLs.</source>
        <translation>Zu öffnende Dateien: Pfade oder file://-URLs.</translation>
    </message>
    <message>
        <source>[FILE...]</source>
        <translation>[DATEI...]</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for more information.</source>
        <translation>Mehr dazu mit »%1 --help«.</translation>
    </message>
    <message>
        <source>Compare the two files given in one window: B flips between them, D shows the difference, N goes to the next change.</source>
        <translation>Die beiden angegebenen Dateien in einem Fenster vergleichen: B wechselt zwischen ihnen, D zeigt den Unterschied, N springt zur nächsten Änderung.</translation>
    </message>
    <message>
        <source>--compare takes two files, A and B.</source>
        <translation>--compare erwartet zwei Dateien, A und B.</translation>
    </message>
</context>
<context>
    <name>CompareMode</name>
    <message>
        <source>identical</source>
        <translation>identisch</translation>
    </message>
    <message>
        <source>1 pixel differs in 1 region</source>
        <translation>1 Pixel unterscheidet sich in 1 Bereich</translation>
    </message>
    <message>
        <source>%1 pixels differ in 1 region</source>
        <translation>%1 Pixel unterscheiden sich in 1 Bereich</translation>
    </message>
    <message>
        <source>%1 pixels differ in %2 regions</source>
        <translation>%1 Pixel unterscheiden sich in %2 Bereichen</translation>
    </message>
    <message>
        <source>The pictures could not be compared: there is not enough memory.</source>
        <translation>Die Bilder konnten nicht verglichen werden: Der Speicher reicht nicht aus.</translation>
    </message>
    <message>
        <source>sizes differ: %1 x %2 and %3 x %4 (in the area both share: %5)</source>
        <translation>Größen verschieden: %1 x %2 und %3 x %4 (in der gemeinsamen Fläche: %5)</translation>
    </message>
    <message>
        <source>The difference cannot be shown: there is not enough memory for its picture.</source>
        <translation>Der Unterschied kann nicht gezeigt werden: Für sein Bild reicht der Speicher nicht aus.</translation>
    </message>
    <message>
        <source>A: %1 (compared with %2)</source>
        <translation>A: %1 (verglichen mit %2)</translation>
    </message>
    <message>
        <source>B: %1 (compared with %2)</source>
        <translation>B: %1 (verglichen mit %2)</translation>
    </message>
    <message>
        <source>Difference of %1 and %2</source>
        <translation>Unterschied von %1 und %2</translation>
    </message>
    <message>
        <source>comparing…</source>
        <translation>wird verglichen…</translation>
    </message>
</context>
<context>
    <name>ComparisonJob</name>
    <message>
        <source>compare pictures</source>
        <translation>Bilder vergleichen</translation>
    </message>
</context>
<context>
    <name>DocumentController</name>
    <message>
        <source>Virtual screen files (*.vrs)</source>
        <translation>Virtual-Screen-Dateien (*.vrs)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
</context>
<context>
    <name>ErrorText</name>
    <message>
        <source>The file &quot;%1&quot; could not be opened: there is no such file.</source>
        <translation>Die Datei „%1“ konnte nicht geöffnet werden: Es gibt sie nicht.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be opened: it is a folder, not a file.</source>
        <translation>„%1“ konnte nicht geöffnet werden: Das ist ein Ordner, keine Datei.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be opened: it is not a regular file.</source>
        <translation>„%1“ konnte nicht geöffnet werden: Das ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; could not be opened: you do not have permission to read it.</source>
        <translation>Die Datei „%1“ konnte nicht geöffnet werden: Sie dürfen sie nicht lesen.</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; could not be opened: %2.</source>
        <translation>Die Datei „%1“ konnte nicht geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; changed while it was being read.</source>
        <translation>Die Datei „%1“ hat sich geändert, während sie gelesen wurde.</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; can&apos;t be read: %2.</source>
        <translation>Die Datei „%1“ kann nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>The picture was not saved: %1 is not one of %2 (upper and lower case matter).</source>
        <translation>Das Bild wurde nicht gespeichert: %1 ist keine von %2 (Groß- und Kleinschreibung zählen).</translation>
    </message>
    <message>
        <source>This big picture couldn&apos;t be converted.</source>
        <translation>Dieses große Bild konnte nicht umgewandelt werden.</translation>
    </message>
    <message>
        <source>This big picture couldn&apos;t be converted: %1 holds at most %2 pixels a side, and it is %3 x %4.</source>
        <translation>Dieses große Bild konnte nicht umgewandelt werden: %1 fasst höchstens %2 Pixel je Seite, und es hat %3 x %4.</translation>
    </message>
    <message>
        <source>This big picture couldn&apos;t be converted: %1 holds at most %2 pixels a side and %3, and it is %4 x %5.</source>
        <translation>Dieses große Bild konnte nicht umgewandelt werden: %1 fasst höchstens %2 Pixel je Seite und %3, und es hat %4 x %5.</translation>
    </message>
    <message>
        <source>The picture could not be saved to %1: %2.</source>
        <translation>Das Bild konnte nicht unter %1 gespeichert werden: %2.</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>Der Datenträger ist voll</translation>
    </message>
    <message>
        <source>your disk quota is used up</source>
        <translation>Ihr Speicherkontingent ist aufgebraucht</translation>
    </message>
    <message>
        <source>the disk is read-only</source>
        <translation>Der Datenträger ist schreibgeschützt</translation>
    </message>
    <message>
        <source>the folder %1 is not writable</source>
        <translation>In den Ordner %1 darf nicht geschrieben werden</translation>
    </message>
    <message>
        <source>the folder %1 does not exist</source>
        <translation>Den Ordner %1 gibt es nicht</translation>
    </message>
    <message>
        <source>part of the path is not a folder</source>
        <translation>Ein Teil des Pfades ist kein Ordner</translation>
    </message>
    <message>
        <source>a folder of that name is there</source>
        <translation>Ein Ordner dieses Namens ist schon da</translation>
    </message>
    <message>
        <source>the name is too long</source>
        <translation>Der Name ist zu lang</translation>
    </message>
    <message>
        <source>the file would be too large for this disk</source>
        <translation>Die Datei wäre zu groß für diesen Datenträger</translation>
    </message>
    <message>
        <source>the disk reported an input/output error</source>
        <translation>Der Datenträger meldete einen Ein-/Ausgabefehler</translation>
    </message>
    <message>
        <source>it is not a regular file (a socket or a block device), so it is not replaced</source>
        <translation>Das ist keine gewöhnliche Datei (ein Socket oder ein Blockgerät), also wird sie nicht ersetzt</translation>
    </message>
    <message>
        <source>This picture couldn&apos;t be converted: it is %1 x %2 pixels, and a picture needs one pixel a side.</source>
        <translation>Dieses Bild konnte nicht umgewandelt werden: es hat %1 x %2 Pixel, und ein Bild braucht mindestens ein Pixel je Seite.</translation>
    </message>
    <message>
        <source>The picture was not saved to %1: that is the open file %2, which saving would destroy. Choose another name.</source>
        <translation>Das Bild wurde nicht unter %1 gesichert: Das ist die geöffnete Datei %2, die beim Sichern verloren ginge. Wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be opened: the viewer reads only files on this computer. Copy the file here first.</source>
        <translation>„%1“ konnte nicht geöffnet werden: Der Betrachter liest nur Dateien auf diesem Computer. Kopieren Sie die Datei zuerst hierher.</translation>
    </message>
    <message>
        <source>There is not enough memory for the picture of the file &quot;%1&quot;, %2 x %3 pixels.</source>
        <translation>Für das Bild der Datei „%1“ mit %2 x %3 Pixeln ist nicht genug Speicher frei.</translation>
    </message>
</context>
<context>
    <name>LoadRefusal</name>
    <message>
        <source>it holds %1 bytes, but a virtual-screen file starts with a header of %2 bytes</source>
        <translation>Sie enthält %1 Bytes, aber eine Virtual-Screen-Datei beginnt mit einem Kopf von %2 Bytes</translation>
    </message>
    <message>
        <source>it is of format version %1, and only version %2 and later can be read</source>
        <translation>Sie hat die Formatversion %1, und nur Version %2 und neuer können gelesen werden</translation>
    </message>
    <message>
        <source>the header&apos;s picture rectangle is empty (%1 x %2 pixels), so there is no picture in it</source>
        <translation>Das Bildrechteck im Kopf ist leer (%1 x %2 Pixel), also enthält sie kein Bild</translation>
    </message>
    <message>
        <source>the header promises a picture of %1 x %2 pixels, so there is no picture in it</source>
        <translation>Der Kopf verspricht ein Bild von %1 x %2 Pixeln, also enthält sie kein Bild</translation>
    </message>
    <message>
        <source>the header gives rows of %1 bytes, but a row of %2 pixels of %3 bits takes %4 bytes</source>
        <translation>Der Kopf gibt Zeilen von %1 Bytes an, aber eine Zeile von %2 Pixeln mit %3 Bit braucht %4 Bytes</translation>
    </message>
    <message>
        <source>the header promises %1 x %2 pixels of %3 bits (%4 bytes of rows) but only %5 bytes follow it</source>
        <translation>Der Kopf verspricht %1 x %2 Pixel mit %3 Bit (%4 Bytes an Zeilen), aber nur %5 Bytes folgen ihm</translation>
    </message>
    <message>
        <source>the header promises %1 x %2 pixels of %3 bits, more than any computer&apos;s memory can hold</source>
        <translation>Der Kopf verspricht %1 x %2 Pixel mit %3 Bit, mehr als der Speicher irgendeines Computers fasst</translation>
    </message>
    <message>
        <source>the header promises %1 x %2 pixels, which would take %3 bytes of memory, far more than a file of %4 bytes can fill</source>
        <translation>Der Kopf verspricht %1 x %2 Pixel, die %3 Bytes Speicher bräuchten, weit mehr, als eine Datei von %4 Bytes füllen kann</translation>
    </message>
    <message>
        <source>it is a %1 document, not a virtual-screen file</source>
        <translation>Sie ist ein %1-Dokument, keine Virtual-Screen-Datei</translation>
    </message>
    <message>
        <source>it is a %1 picture, not a virtual-screen file</source>
        <translation>Sie ist ein %1-Bild, keine Virtual-Screen-Datei</translation>
    </message>
    <message>
        <source>it is not a virtual-screen file (it starts with the bytes %1)</source>
        <translation>Sie ist keine Virtual-Screen-Datei (sie beginnt mit den Bytes %1)</translation>
    </message>
    <message>
        <source>the file is damaged</source>
        <translation>Die Datei ist beschädigt</translation>
    </message>
</context>
<context>
    <name>Menus</name>
    <message>
        <source>No Recent Files</source>
        <translation>Keine zuletzt geöffneten Dateien</translation>
    </message>
    <message>
        <source>Clear Menu</source>
        <translation>Menü leeren</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Open…</source>
        <translation>Ö&amp;ffnen…</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As…</source>
        <translation>Speichern &amp;unter…</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>&amp;Drucken…</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Zoom	F1</source>
        <translation>Zoomen	F1</translation>
    </message>
    <message>
        <source>Fit Window	F3</source>
        <translation>Fenster anpassen	F3</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About vrsview</source>
        <translation>Ü&amp;ber vrsview</translation>
    </message>
    <message>
        <source>About vrsview</source>
        <translation>Über vrsview</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;vrsview&lt;/b&gt; %1&lt;/p&gt;&lt;p&gt;A viewer for virtual-screen capture files (.vrs).&lt;/p&gt;&lt;p&gt;Drag a band over the picture to zoom to it, drag a zoomed picture to pan, click to see it whole again. F1 zooms in by two about the pointer, F3 fits the window to the picture.&lt;/p&gt;&lt;p&gt;Ctrl+0 shows the actual size, Ctrl++ and Ctrl+- zoom in and out, as the mouse wheel does about the pointer; F11 shows the picture on the full screen; Ctrl+C copies the part shown. Page Down and Page Up (or Right and Left) go to the next and previous file of the folder, Home and End to the first and last; on a zoomed picture the arrow keys pan.&lt;/p&gt;&lt;p&gt;Drop files onto a window to open them.&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;vrsview&lt;/b&gt; %1&lt;/p&gt;&lt;p&gt;Ein Betrachter für Virtual-Screen-Aufnahmen (.vrs).&lt;/p&gt;&lt;p&gt;Ein über das Bild gezogener Rahmen zoomt auf ihn, ein gezoomtes Bild lässt sich mit der Maus verschieben, ein Klick zeigt wieder das ganze Bild. F1 vergrößert um das Doppelte um den Mauszeiger, F3 passt das Fenster an das Bild an.&lt;/p&gt;&lt;p&gt;Strg+0 zeigt die Originalgröße, Strg++ und Strg+- vergrößern und verkleinern, wie das Mausrad um den Mauszeiger; F11 zeigt das Bild auf dem ganzen Bildschirm; Strg+C kopiert den gezeigten Ausschnitt. Bild ab und Bild auf (oder Rechts und Links) gehen zur nächsten und vorigen Datei des Ordners, Pos1 und Ende zur ersten und letzten; in einem gezoomten Bild verschieben die Pfeiltasten den Ausschnitt.&lt;/p&gt;&lt;p&gt;Auf ein Fenster gezogene Dateien werden geöffnet.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&amp;Go</source>
        <translation>&amp;Gehe zu</translation>
    </message>
    <message>
        <source>&amp;Next File</source>
        <translation>&amp;Nächste Datei</translation>
    </message>
    <message>
        <source>&amp;Previous File</source>
        <translation>&amp;Vorige Datei</translation>
    </message>
    <message>
        <source>&amp;First File</source>
        <translation>&amp;Erste Datei</translation>
    </message>
    <message>
        <source>&amp;Last File</source>
        <translation>&amp;Letzte Datei</translation>
    </message>
</context>
<context>
    <name>MyDocument</name>
    <message>
        <source>The file is no longer there.</source>
        <translation>Die Datei ist nicht mehr da.</translation>
    </message>
    <message>
        <source>The file is being written.</source>
        <translation>Die Datei wird gerade geschrieben.</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>pixel X=%1 Y=%2 Size=%3M</source>
        <translation>pixel X=%1 Y=%2 Size=%3M</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>Save Image</source>
        <translation>Bild speichern</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Progress window</source>
        <translation>Fortschritt</translation>
    </message>
</context>
<context>
    <name>QtHost</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ViewMenu</name>
    <message>
        <source>The part of the picture shown, %1 x %2 pixels, is too large to copy: at most %3 million pixels can be copied. Zoom in to copy a part of it, or save the picture.</source>
        <translation>Der gezeigte Teil des Bildes, %1 x %2 Pixel, ist zu groß zum Kopieren: höchstens %3 Millionen Pixel lassen sich kopieren. Vergrößern Sie, um einen Teil davon zu kopieren, oder speichern Sie das Bild.</translation>
    </message>
    <message>
        <source>&amp;Full Screen</source>
        <translation>&amp;Vollbild</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>&amp;Actual Size</source>
        <translation>&amp;Originalgröße</translation>
    </message>
    <message>
        <source>No part of the picture is shown: there is nothing to copy.</source>
        <translation>Kein Teil des Bildes ist zu sehen: Es gibt nichts zu kopieren.</translation>
    </message>
    <message>
        <source>x %1, y %2</source>
        <translation>x %1, y %2</translation>
    </message>
    <message>
        <source>%1 x %2</source>
        <translation>%1 x %2</translation>
    </message>
    <message>
        <source>Copy C&amp;olour</source>
        <translation>&amp;Farbe kopieren</translation>
    </message>
    <message>
        <source>No colour to copy: point at the picture first.</source>
        <translation>Keine Farbe zum Kopieren: zuerst mit dem Mauszeiger auf das Bild zeigen.</translation>
    </message>
    <message>
        <source>&amp;Keep Zoom Across Files</source>
        <translation>&amp;Zoom für weitere Dateien beibehalten</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>Ver&amp;größern</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Compare With</source>
        <translation>Vergleichen mit</translation>
    </message>
    <message>
        <source>Compare &amp;With…</source>
        <translation>Vergleichen &amp;mit…</translation>
    </message>
    <message>
        <source>Show &amp;Difference</source>
        <translation>&amp;Unterschied zeigen</translation>
    </message>
    <message>
        <source>&amp;Next Change</source>
        <translation>&amp;Nächste Änderung</translation>
    </message>
    <message>
        <source>&amp;Previous Change</source>
        <translation>Vor&amp;herige Änderung</translation>
    </message>
    <message>
        <source>&amp;Stop Comparing</source>
        <translation>Vergleich &amp;beenden</translation>
    </message>
    <message>
        <source>F&amp;lip A and B</source>
        <translation>A und B &amp;tauschen</translation>
    </message>
</context>
</TS>
