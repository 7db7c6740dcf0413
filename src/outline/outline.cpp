#include "outline/outline.h"

#include <QMouseEvent>
#include <QPainter>

#include "outline/outline_node.h"
#include "runtime/shift_jis.h"

namespace virevi {
namespace {
constexpr int RowHeight = 16;
}

TOutline::TOutline(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

TRect TOutline::RowRect(std::int32_t row) const {
    return {0, row * RowHeight, viewport()->width(), (row + 1) * RowHeight};
}

void TOutline::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (OnEnter) {
        OnEnter(*this);
    }
}

void TOutline::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const std::int32_t shown = RootItem()->ShownCount();
    for (std::int32_t row = 0; row < shown && row * RowHeight < viewport()->height(); ++row) {
        TOutlineNode* item = ItemOnRow(row);
        const QRect rect(0, row * RowHeight, viewport()->width(), RowHeight);
        if (row == Row()) {
            painter.fillRect(rect, palette().highlight());
        }
        const std::u16string text = DecodeShiftJis(item->Text());
        painter.drawText(rect.adjusted(item->Level() * RowHeight, 0, 0, 0), Qt::AlignVCenter,
                         QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
    }
}

void TOutline::mousePressEvent(QMouseEvent* event) {
    const std::int32_t row = static_cast<std::int32_t>(event->position().y()) / RowHeight;
    Pressed_ = event->button() == Qt::LeftButton && TotalItems() > 0 && row >= 0 &&
               row < RootItem()->ShownCount();
    if (Pressed_) {
        PlainMove(row);
    }
}

void TOutline::mouseReleaseEvent(QMouseEvent*) {
    if (Pressed_) {
        Pressed_ = false;
        Click();
    }
}

void TOutline::RepaintRow(std::int32_t) {
    viewport()->update();
}

void TOutline::RepaintAll() {
    viewport()->update();
}

void TOutline::RowMoved(std::int32_t) {
    viewport()->update();
}

} // namespace virevi
