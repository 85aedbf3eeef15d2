// SPDX-License-Identifier: MIT
// The pixel inspector: the picture pixel under the pointer, counted from the
// top-left corner as image editors count them, and its colour as the file
// holds it ("x 1203, y 455   #1E1E2E"; for a 16-bit file its 5-bit values
// too, "#F8F8F0 (31, 31, 30)"); while a band is drawn, the band's size in
// picture pixels ("120 x 80"). It keeps the colour it last told, for Copy
// Colour. The status line shows it (status_line.h). While two pictures are
// compared it tells both colours of the pixel instead ("x 1203, y 455   A
// #1E1E2E  B #FFFFFF"), in the words a function of the comparison gives.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class MyImageView;

class PixelInspector : public QObject {
    Q_OBJECT

  public:
    // Follows the pointer over `view`.
    PixelInspector(MyImageView* view, QObject* parent);

    // What it tells, longest first, each shorter one for less room: for a
    // pixel, without the 5-bit values, then the colour alone. Empty: nothing.
    const QStringList& texts() const { return texts_; }
    // The colour last told, "#RRGGBB"; empty before the pointer was over the picture.
    const QString& colour() const { return colour_; }
    // The words for the colours of pixel (x, y), rows from the top, of the
    // pictures compared; none: the picture shown alone.
    using ComparedColours = std::function<QString(int x, int yFromTop)>;
    void setCompared(ComparedColours compared) { compared_ = std::move(compared); }

  signals:
    void changed();

  private:
    void pixel(bool over, int x, int y, std::uint32_t rgb);
    void band(int width, int height);

    QPointer<MyImageView> view_;
    QStringList texts_;
    QString colour_;
    ComparedColours compared_;
};

// A colour 0xRRGGBB as the inspector tells it and Copy Colour copies it, "#1E1E2E".
QString colourText(std::uint32_t rgb);
