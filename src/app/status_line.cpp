// SPDX-License-Identifier: MIT
#include "app/status_line.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLocale>
#include <algorithm>

#include "app/menus_tr.h"
#include "app/pixel_inspector.h"
#include "view/my_image_view.h"

namespace {

// Room between the size line, the inspector and the zoom level.
constexpr int kSpacing = 6;

// The width `label` needs for `text`; 0 for no text.
int widthFor(const QLabel& label, const QString& text) {
    if (text.isEmpty()) {
        return 0;
    }
    const QMargins m = label.contentsMargins();
    return label.fontMetrics().horizontalAdvance(text) + m.left() + m.right() + 2 * label.margin() +
           std::max(0, label.indent());
}

}  // namespace

QString zoomLevelText(double percent) {
    const int decimals = percent < 10 ? 1 : 0;
    return ViewMenu::tr("%1 %").arg(QLocale().toString(percent, 'f', decimals));
}

StatusLine::StatusLine(QLabel* sizeText, MyImageView* view)
    : QWidget(sizeText->parentWidget()),
      sizeText_(sizeText),
      inspectorText_(new QLabel(this)),
      zoom_(new QLabel(this)),
      inspector_(new PixelInspector(view, this)) {
    if (auto* column = qobject_cast<QBoxLayout*>(parentWidget()->layout())) {
        const int index = column->indexOf(sizeText);
        if (index >= 0) {
            delete column->takeAt(index);
            column->insertWidget(index, this);
        }
    }
    sizeText->setParent(this);
    sizeText->show();
    inspectorText_->setObjectName(QStringLiteral("pixelInspector"));
    inspectorText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    zoom_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    zoom_->setIndent(sizeText->indent());
    connect(inspector_, &PixelInspector::changed, this, &StatusLine::arrange);
    connect(view, &MyImageView::zoomChanged, this, [this](double percent) {
        zoom_->setText(zoomLevelText(percent));
        arrange();
    });
    // The level may have been told before this line listened.
    if (view->zoomLevel() >= 0) {
        zoom_->setText(zoomLevelText(view->zoomLevel()));
    }
}

QSize StatusLine::sizeHint() const {
    const QStringList& texts = inspector_->texts();
    const int width = sizeText_->sizeHint().width() + kSpacing +
                      widthFor(*inspectorText_, texts.value(0)) + kSpacing +
                      widthFor(*zoom_, zoom_->text());
    return {width, minimumSizeHint().height()};
}

QSize StatusLine::minimumSizeHint() const {
    const int height = std::max({sizeText_->sizeHint().height(),
                                 inspectorText_->sizeHint().height(), zoom_->sizeHint().height()});
    return {0, height};
}

bool StatusLine::hasHeightForWidth() const {
    return sizeText_->wordWrap();
}

int StatusLine::heightForWidth(int width) const {
    return std::max(sizeText_->heightForWidth(width), minimumSizeHint().height());
}

bool StatusLine::event(QEvent* event) {
    // A label's text changed: the window's layout hears of it only when the
    // line's height may change (a refusal wraps), not at every move of the
    // pointer.
    if (event->type() == QEvent::LayoutRequest) {
        const int height = minimumSizeHint().height();
        if (height != height_ || sizeText_->wordWrap()) {
            height_ = height;
            updateGeometry();
        }
        arrange();
    }
    return QWidget::event(event);
}

void StatusLine::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

void StatusLine::arrange() {
    const int room = width();
    const int sizeLine = sizeText_->wordWrap() ? room : sizeText_->sizeHint().width();
    const QString zoomText = zoom_->text();
    QStringList inspected = inspector_->texts();
    inspected.append(QString());
    // The longest inspector text that fits, with the zoom level if it fits
    // beside it, else without.
    QString shown;
    bool withZoom = false;
    for (const QString& text : inspected) {
        const int inspector = widthFor(*inspectorText_, text);
        const int zoom = widthFor(*zoom_, zoomText);
        const int gap = inspector > 0 ? kSpacing : 0;
        if (sizeLine + gap + inspector + kSpacing + zoom <= room) {
            shown = text;
            withZoom = true;
            break;
        }
        if (sizeLine + gap + inspector <= room) {
            shown = text;
            break;
        }
    }
    int right = room;
    const int zoomWidth = withZoom ? widthFor(*zoom_, zoomText) : 0;
    zoom_->setVisible(withZoom && zoomWidth > 0);
    zoom_->setGeometry(right - zoomWidth, 0, zoomWidth, height());
    right -= zoomWidth > 0 ? zoomWidth + kSpacing : 0;
    inspectorText_->setText(shown);
    const int inspectorWidth = widthFor(*inspectorText_, shown);
    inspectorText_->setVisible(inspectorWidth > 0);
    inspectorText_->setGeometry(right - inspectorWidth, 0, inspectorWidth, height());
    right -= inspectorWidth > 0 ? inspectorWidth + kSpacing : 0;
    sizeText_->setGeometry(0, 0, std::max(0, right), height());
    // A line cut short (a small picture's window) can still be read whole.
    const bool cut = !sizeText_->wordWrap() && right < sizeText_->sizeHint().width();
    const QString tip = cut ? sizeText_->text() : QString();
    if (sizeText_->toolTip() != tip) {  // arranged at every move of the pointer
        sizeText_->setToolTip(tip);
    }
}
