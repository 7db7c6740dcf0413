#include "outline/qt/outline.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include "dialogs/qt/error_display.h"
#include "runtime/qt/qt_mouse.h"

namespace virevi {
namespace {

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers) {
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier) {
        shift |= ssShift;
    }
    if (modifiers & Qt::AltModifier) {
        shift |= ssAlt;
    }
    if (modifiers & Qt::ControlModifier) {
        shift |= ssCtrl;
    }
    return shift;
}

/// The virtual key of a Qt key; 0 for keys the outline has no use for.
std::uint16_t VirtualKeyOf(const QKeyEvent& event) {
    const int key = event.key();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Asterisk:
        // Only the keypad's "*" is a key of its own; the main keyboard's is a shifted 8.
        return (event.modifiers() & Qt::KeypadModifier) ? VK_MULTIPLY : 0;
    default:
        break;
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return static_cast<std::uint16_t>(key);
    }
    return 0;
}

} // namespace

TOutline::TOutline(QWidget* parent) : QAbstractScrollArea(parent), Canvas_(*this) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(false);
    for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()}) {
        bar->setTracking(false);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->installEventFilter(this);
        const TScrollBarKind kind =
            bar == verticalScrollBar() ? TScrollBarKind::sbVertical : TScrollBarKind::sbHorizontal;
        connect(bar, &QAbstractSlider::actionTriggered, this,
                [this, kind](int action) { ScrollBarAction(kind, action); });
        connect(bar, &QAbstractSlider::sliderReleased, this, [this, kind] {
            Scroll(kind, TScrollCode::scPosition, Bar(kind)->sliderPosition());
        });
    }
    BarExtent_ = {verticalScrollBar()->sizeHint().width(),
                  horizontalScrollBar()->sizeHint().height()};
    resize(121, 97);
    SetFont(Font());
    Resized();
}

QScrollBar* TOutline::Bar(TScrollBarKind kind) const {
    return kind == TScrollBarKind::sbVertical ? verticalScrollBar() : horizontalScrollBar();
}

void TOutline::ScrollBarAction(TScrollBarKind kind, int action) {
    QScrollBar* bar = Bar(kind);
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        Scroll(kind, TScrollCode::scLineDown, 0);
        break;
    case QAbstractSlider::SliderSingleStepSub:
        Scroll(kind, TScrollCode::scLineUp, 0);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        Scroll(kind, TScrollCode::scPageDown, 0);
        break;
    case QAbstractSlider::SliderPageStepSub:
        Scroll(kind, TScrollCode::scPageUp, 0);
        break;
    case QAbstractSlider::SliderToMinimum:
        Scroll(kind, TScrollCode::scTop, 0);
        break;
    case QAbstractSlider::SliderToMaximum:
        Scroll(kind, TScrollCode::scBottom, 0);
        break;
    case QAbstractSlider::SliderMove:
        if (bar->isSliderDown()) {
            return; // no thumb tracking: the rows wait for the release
        }
        break;
    default:
        break;
    }
    // The slider applies its own step after this; it must land where the grid is.
    bar->setSliderPosition(kind == TScrollBarKind::sbVertical ? VertScrollPosition()
                                                              : HorzOffset());
}

void TOutline::PaintRows(QPainter& painter, const TRect& area) {
    Canvas_.Begin(&painter);
    Paint(Canvas_, area);
    // Whatever of the viewport lies beyond the grid's client area shows Color.
    const QRect client(0, 0, ClientWidth(), ClientHeight());
    const QRegion rest = QRegion(viewport()->rect()) - QRegion(client);
    for (const QRect& part : rest) {
        painter.fillRect(part, Canvas_.Resolve(Color()));
    }
    Canvas_.End();
}

// --- Qt's events --------------------------------------------------------------

void TOutline::keyPressEvent(QKeyEvent* event) {
    std::uint16_t key = VirtualKeyOf(*event);
    const TShiftState shift = ShiftOf(event->modifiers());
    if (key == 0 && event->text().isEmpty()) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (key != 0) {
        KeyDown(key, shift);
    }
    const QString text = event->text();
    if (text.size() == 1 && text[0].unicode() < 0x80) {
        char character = static_cast<char>(text[0].unicode());
        KeyPress(character);
    }
    event->accept();
}

void TOutline::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    LastPointer_ = {at.x(), at.y()};
    if (const auto button = ToMouseButton(event->button())) {
        MouseDown(*button, ShiftOf(event->modifiers()), at.x(), at.y());
    }
}

void TOutline::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (const auto button = ToMouseButton(event->button())) {
        MouseDown(*button, ShiftOf(event->modifiers()) | ssDouble, at.x(), at.y());
    }
}

void TOutline::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    LastPointer_ = {at.x(), at.y()};
    MouseMove(ShiftOf(event->modifiers()), at.x(), at.y());
}

void TOutline::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    LastPointer_ = {at.x(), at.y()};
    if (const auto button = ToMouseButton(event->button())) {
        MouseUp(*button, ShiftOf(event->modifiers()), at.x(), at.y());
    }
}

void TOutline::wheelEvent(QWheelEvent* event) {
    MouseWheel(event->angleDelta().y());
    event->accept();
}

void TOutline::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    FocusChanged(true);
}

void TOutline::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) {
        CancelMode(); // another window has the mouse now
    }
    FocusChanged(false);
}

void TOutline::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = event->rect();
    PaintRows(painter, {area.left(), area.top(), area.right() + 1, area.bottom() + 1});
}

void TOutline::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (Resizing_) {
        return;
    }
    Resizing_ = true;
    Resized();
    Resizing_ = false;
}

void TOutline::timerEvent(QTimerEvent* event) {
    if (event->timerId() == Timer_.timerId()) {
        TimerTick();
        return;
    }
    QAbstractScrollArea::timerEvent(event);
}

bool TOutline::viewportEvent(QEvent* event) {
    // The rows take the presses, so they are where the error display tells
    // the holder of the mouse to give up a selecting in progress.
    if (event->type() == CancelModeEvent()) {
        CancelMode();
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TOutline::scrollContentsBy(int, int) {
    // The grid scrolls the rows itself; the bars only report requests.
}

bool TOutline::event(QEvent* event) {
    if (event->type() == QEvent::UngrabMouse || event->type() == QEvent::WindowDeactivate ||
        event->type() == CancelModeEvent()) {
        CancelMode();
    }
    if (event->type() == QEvent::StyleChange) {
        BarExtent_ = {verticalScrollBar()->sizeHint().width(),
                      horizontalScrollBar()->sizeHint().height()};
        Resized();
    }
    return QAbstractScrollArea::event(event);
}

bool TOutline::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel &&
        (watched == verticalScrollBar() || watched == horizontalScrollBar())) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

// --- the grid's platform --------------------------------------------------------

void TOutline::InvalidateRect(const TRect& rect) {
    if (!rect.Empty()) {
        viewport()->update(rect.Left, rect.Top, rect.Width(), rect.Height());
    }
}

void TOutline::ScrollContents(std::int32_t dx, std::int32_t dy) {
    viewport()->scroll(dx, dy);
}

void TOutline::SetScrollBar(TScrollBarKind kind, bool visible, std::int32_t max,
                            std::int32_t position) {
    QScrollBar* bar = Bar(kind);
    const QSignalBlocker quiet(bar);
    bar->setRange(0, visible ? max : 0);
    bar->setSingleStep(1);
    bar->setPageStep(kind == TScrollBarKind::sbVertical ? std::max(1, max / 8)
                                                        : std::max(1, ClientWidth()));
    bar->setValue(position);
    const Qt::ScrollBarPolicy policy = visible ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (kind == TScrollBarKind::sbVertical && verticalScrollBarPolicy() != policy) {
        setVerticalScrollBarPolicy(policy);
    } else if (kind == TScrollBarKind::sbHorizontal && horizontalScrollBarPolicy() != policy) {
        setHorizontalScrollBarPolicy(policy);
    }
}

void TOutline::StartTimer() {
    Timer_.start(TimerPeriodMs, this);
}

void TOutline::KillTimer() {
    Timer_.stop();
}

bool TOutline::CanFocus() const {
    return isVisible() && isEnabled() && (focusPolicy() & Qt::TabFocus) != 0;
}

bool TOutline::Focused() const {
    return hasFocus();
}

void TOutline::TakeFocus() {
    // A press into a window that is not yet the active one (the first click
    // after a dialog, or from another program) activates it first, as the
    // window system does before it hands over the press; the focus, and the
    // commit of the note that comes with it, then arrive before the press
    // moves the selection instead of dropping the press.
    if (isVisible() && !window()->isActiveWindow()) {
        QApplication::setActiveWindow(window());
    }
    setFocus(Qt::MouseFocusReason);
}

TPoint TOutline::WindowClientSize() const {
    const QRect inside = contentsRect();
    return {inside.width(), inside.height()};
}

TPoint TOutline::ScrollBarExtent() const {
    return BarExtent_;
}

TPoint TOutline::CursorPos() const {
    return LastPointer_;
}

void TOutline::Beep() {
    QApplication::beep();
}

std::int32_t TOutline::ScreenPixelsPerInch() const {
    return logicalDpiY() > 0 ? logicalDpiY() : 96;
}

} // namespace virevi
