#include "app/qt/hint_window.h"

#include <QFontMetrics>
#include <QPainter>
#include <QToolTip>

#include "runtime/qt/qt_color.h"

namespace virevi {

THintWindow::THintWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput) {
    setObjectName(QStringLiteral("HintWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(QToolTip::font());
}

void THintWindow::SetColor(TColor color) {
    Color_ = color;
    update();
}

QSize THintWindow::TextSize(const QString& text) const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text), metrics.height()};
}

void THintWindow::ActivateHint(const QRect& bounds, const QString& text) {
    Text_ = text;
    setGeometry(bounds);
    show();
    update();
}

void THintWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(Color_));
    painter.setPen(ToQColor(clWindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::ToolTipText));
    const QFontMetrics metrics(font());
    painter.drawText(2, 2 + metrics.ascent(), Text_);
}

} // namespace virevi
