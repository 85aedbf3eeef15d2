// SPDX-License-Identifier: MIT
// The view image reduced by area averaging to the size a pass draws it at.
// The last reduction is kept, so that a pass of the same region at the same
// size (a window uncovered or repainted) only draws it; and a reduction can
// be made ahead on a thread of its own once the size of a view about to be
// shown is known, while the window is still being put on the screen.
#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <future>

class ReducedPixels {
  public:
    // What a reduction is made of: the image (its cacheKey()), the part of
    // it in pixels (rows from the top) and the size it is reduced to.
    struct Key {
        qint64 image = 0;
        QRectF source;
        QSize size;
        // Exact: QRectF's own == lets nearly equal rectangles pass.
        bool operator==(const Key& other) const;
    };

    ReducedPixels() = default;
    ReducedPixels(const ReducedPixels&) = delete;
    ReducedPixels& operator=(const ReducedPixels&) = delete;
    // Waits for a reduction under way.
    ~ReducedPixels();

    // Starts reducing `pixels` (RGB32) for `key` on a thread; whatever was
    // kept is dropped.
    void prepare(const QImage& pixels, const Key& key);
    // The reduction of `pixels` for `key`: the one kept, the one under way
    // once it is done, or one made now. Null when no memory is left.
    QImage reduction(const QImage& pixels, const Key& key);
    // True when the reduction for `key` is kept or under way.
    bool holds(const Key& key) const;
    // Drops what is kept (waiting for a reduction under way).
    void clear();

  private:
    Key key_;
    QImage kept_;
    std::future<QImage> pending_;
};

// `source` of `pixels` (RGB32) reduced to `size` by area averaging, in fresh
// memory; null when no memory is left or the image is not RGB32.
QImage reducePixels(const QImage& pixels, QRectF source, QSize size);
