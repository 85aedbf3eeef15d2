// SPDX-License-Identifier: MIT
#include "app/compare_mode.h"

#include <QLocale>

#include "app/pixel_inspector.h"
#include "view/my_image_view.h"

namespace {

// A number as the size line groups it: "12,345" (in German "12.345"), also
// in the C locale, which leaves out the separator by default.
QString grouped(std::int64_t n) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(static_cast<qlonglong>(n));
}

QString differences(const vrs::ComparisonResult& result) {
    const std::int64_t pixels = result.counts.differing;
    const auto regions = static_cast<std::int64_t>(result.regions.size());
    if (pixels == 0) {
        return CompareMode::tr("identical");
    }
    if (pixels == 1) {
        return CompareMode::tr("1 pixel differs in 1 region");
    }
    if (regions == 1) {
        return CompareMode::tr("%1 pixels differ in 1 region").arg(grouped(pixels));
    }
    return CompareMode::tr("%1 pixels differ in %2 regions").arg(grouped(pixels), grouped(regions));
}

// The colour of pixel (x, y), rows from the top, of a full image.
bool colourAt(const vrs::Image* image, int x, int y, std::uint32_t* rgb) {
    const vrs::PlanarBitmap* rep = image != nullptr ? image->rep().get() : nullptr;
    if (rep == nullptr || rep->plane(0) == nullptr || x < 0 || y < 0 || x >= rep->width() ||
        y >= rep->height()) {
        return false;
    }
    const std::int64_t at = y * rep->bytesPerRow() + x;
    *rgb = (std::uint32_t{rep->plane(0)[at]} << 16) | (std::uint32_t{rep->plane(1)[at]} << 8) |
           rep->plane(2)[at];
    return true;
}

}  // namespace

QString comparisonText(const vrs::ComparisonResult& result) {
    if (result.failed()) {
        return CompareMode::tr("The pictures could not be compared: there is not enough memory.");
    }
    if (!result.sizesDiffer()) {
        return differences(result);
    }
    return CompareMode::tr("sizes differ: %1 x %2 and %3 x %4 (in the area both share: %5)")
        .arg(result.widthA)
        .arg(result.heightA)
        .arg(result.widthB)
        .arg(result.heightB)
        .arg(differences(result));
}

CompareMode::CompareMode(vrs::Host& host, QObject* parent) : QObject(parent), host_(host) {}

CompareMode::~CompareMode() = default;

void CompareMode::setParts(MyImageView* view, QWidget* window, PixelInspector* inspector) {
    view_ = view;
    window_ = window;
    inspector_ = inspector;
}

namespace {

bool hasBitmap(const CompareMode::Picture& picture) {
    return picture.full && picture.full->rep() && picture.view;
}

}  // namespace

void CompareMode::start(Picture a, Picture b) {
    if (!hasBitmap(a) || !hasBitmap(b)) {
        return;
    }
    a_ = std::move(a);
    b_ = std::move(b);
    active_ = true;
    if (inspector_) {
        inspector_->setCompared([this](int x, int y) { return colours(x, y); });
    }
    // A, as the window showed it before, is what stays in view.
    shown_ = picture_ = Shown::A;
    showShown();
    startJob();
}

void CompareMode::setA(Picture a) {
    if (!active_ || !hasBitmap(a)) {
        return;
    }
    a_ = std::move(a);
    // The view shows the new picture already.
    shown_ = picture_ = Shown::A;
    startJob();
}

void CompareMode::stop() {
    if (!active_) {
        return;
    }
    job_.reset();
    shown_ = picture_ = Shown::A;
    showShown();
    active_ = false;
    b_ = Picture();
    if (inspector_) {
        inspector_->setCompared({});
    }
    emit changed();
}

const vrs::ComparisonResult* CompareMode::result() const {
    return found() ? &job_->result() : nullptr;
}

void CompareMode::startJob() {
    job_.reset();
    differenceAsked_ = false;
    region_ = -1;
    job_ = std::make_unique<ComparisonJob>(host_, window_, a_.full, b_.full);
    connect(job_.get(), &ComparisonJob::finished, this, &CompareMode::jobFinished);
    emit changed();
}

void CompareMode::jobFinished() {
    if (differenceAsked_) {
        differenceAsked_ = false;
        toggleDifference();
        return;
    }
    emit changed();
}

void CompareMode::flip() {
    if (!active_) {
        return;
    }
    differenceAsked_ = false;
    shown_ = picture_ = picture_ == Shown::A ? Shown::B : Shown::A;
    showShown();
}

void CompareMode::toggleDifference() {
    if (!active_) {
        return;
    }
    if (shown_ == Shown::Difference) {
        shown_ = picture_;
        showShown();
        return;
    }
    if (!found()) {
        differenceAsked_ = !differenceAsked_;
        return;
    }
    if (!job_->difference().full) {
        if (!job_->result().failed()) {
            host_.alert(tr("The difference cannot be shown: there is not enough memory for its "
                           "picture.")
                            .toStdString());
        }
        return;
    }
    shown_ = Shown::Difference;
    showShown();
}

void CompareMode::step(int direction) {
    const vrs::ComparisonResult* found = result();
    if (!active_ || found == nullptr || found->regions.empty() || !view_) {
        return;
    }
    const int count = static_cast<int>(found->regions.size());
    if (region_ < 0) {
        region_ = direction > 0 ? 0 : count - 1;
    } else {
        region_ = (region_ + (direction > 0 ? 1 : count - 1)) % count;
    }
    const vrs::PixelBox& box = found->regions[static_cast<std::size_t>(region_)];
    view_->showArea({box.x0, box.y0, box.width(), box.height()});
}

void CompareMode::showShown() {
    const Picture* picture = shown_ == Shown::B ? &b_ : &a_;
    if (shown_ == Shown::Difference && found()) {
        const vrs::DiffImages& difference = job_->difference();
        if (view_ && view_->image() != difference.view) {
            view_->replacePicture(difference.view, difference.full, false);
        }
    } else if (view_ && view_->image() != picture->view) {
        view_->replacePicture(picture->view, picture->full, picture->fiveBit);
    }
    emit changed();
}

QString CompareMode::title() const {
    if (!active_) {
        return {};
    }
    switch (shown_) {
        case Shown::A:
            return tr("A: %1 (compared with %2)").arg(a_.name, b_.name);
        case Shown::B:
            return tr("B: %1 (compared with %2)").arg(b_.name, a_.name);
        case Shown::Difference:
            break;
    }
    return tr("Difference of %1 and %2").arg(a_.name, b_.name);
}

QString CompareMode::sizeLine() const {
    if (!active_) {
        return {};
    }
    const vrs::ComparisonResult* found = result();
    return found != nullptr ? comparisonText(*found) : tr("comparing…");
}

QString CompareMode::colours(int x, int yFromTop) const {
    const auto colour = [&](const Picture& picture) {
        std::uint32_t rgb = 0;
        return colourAt(picture.full.get(), x, yFromTop, &rgb) ? colourText(rgb)
                                                               : QStringLiteral("–");
    };
    return QStringLiteral("A %1  B %2").arg(colour(a_), colour(b_));
}
