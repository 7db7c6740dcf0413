#include "app/qt/panel.h"

#include <QPainter>

#include "runtime/qt/qt_color.h"

namespace virevi {

namespace {

TRect ToTRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

QRect ToQRect(const TRect& r) {
    return {r.Left, r.Top, r.Width(), r.Height()};
}

} // namespace

QRect DrawBevel(QPainter& painter, const QRect& rect, TBevelCut cut, int width) {
    if (cut == TBevelCut::bvNone) {
        return rect;
    }
    const QColor light = ToQColor(clBtnHighlight);
    const QColor dark = ToQColor(clBtnShadow);
    const QColor& topLeft = cut == TBevelCut::bvRaised ? light : dark;
    const QColor& bottomRight = cut == TBevelCut::bvRaised ? dark : light;
    QRect r = rect;
    for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
        painter.fillRect(r.left(), r.top(), r.width(), 1, topLeft);
        painter.fillRect(r.left(), r.top(), 1, r.height(), topLeft);
        painter.fillRect(r.left(), r.bottom(), r.width(), 1, bottomRight);
        painter.fillRect(r.right(), r.top(), 1, r.height(), bottomRight);
        r.adjust(1, 1, -1, -1);
    }
    return r;
}

TPanel::TPanel(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPanel::SetBevels(TBevelCut outer, TBevelCut inner, int width) {
    BevelOuter_ = outer;
    BevelInner_ = inner;
    BevelWidth_ = width;
    Realign();
    update();
}

void TPanel::SetColor(TColor color) {
    Color_ = color;
    update();
}

int TPanel::FrameWidth() const {
    return (BevelOuter_ != TBevelCut::bvNone ? BevelWidth_ : 0) +
           (BevelInner_ != TBevelCut::bvNone ? BevelWidth_ : 0);
}

void TPanel::InsertControl(QWidget& control, TAlign align, const QRect& bounds,
                           const QSize& minimum) {
    control.setParent(this);
    control.setGeometry(bounds);
    Controls_.push_back({&control, align, bounds, minimum});
    Realign();
}

void TPanel::SetControlWidth(QWidget& control, int width) {
    for (TEntry& entry : Controls_) {
        if (entry.Control == &control) {
            entry.Designed.setWidth(width);
        }
    }
    Realign();
}

void TPanel::Realign() {
    std::vector<TAlignedControl> controls;
    std::vector<QWidget*> widgets;
    for (const TEntry& entry : Controls_) {
        if (entry.Control && entry.Align != TAlign::alNone) {
            // The designed size, not the current one: a control cut to fit a
            // small panel gets its own size back when the panel grows.
            controls.push_back({entry.Align, ToTRect(entry.Designed), entry.Minimum.width(),
                                entry.Minimum.height()});
            widgets.push_back(entry.Control);
        }
    }
    const int frame = FrameWidth();
    const std::vector<TRect> bounds =
        AlignControls(ToTRect(rect().adjusted(frame, frame, -frame, -frame)), controls);
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        widgets[i]->setGeometry(ToQRect(bounds[i]));
    }
}

void TPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(Color_));
    const QRect inside = DrawBevel(painter, rect(), BevelOuter_, BevelWidth_);
    DrawBevel(painter, inside, BevelInner_, BevelWidth_);
}

void TPanel::resizeEvent(QResizeEvent*) {
    Realign();
}

} // namespace virevi
