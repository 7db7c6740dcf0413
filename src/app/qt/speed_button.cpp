#include "app/qt/speed_button.h"

#include <QBitmap>
#include <QPainter>

#include "app/qt/panel.h"
#include "runtime/qt/qt_color.h"

namespace virevi {

TSpeedButton::TSpeedButton(const QString& name, QWidget* parent) : QAbstractButton(parent) {
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TSpeedButton::SetGlyph(const QImage& image) {
    Glyph_ = QPixmap::fromImage(image);
    if (!image.isNull()) {
        const QColor transparent = image.pixelColor(0, image.height() - 1);
        Glyph_.setMask(Glyph_.createMaskFromColor(transparent, Qt::MaskInColor));
    }
    update();
}

QSize TSpeedButton::sizeHint() const {
    return {25, 25};
}

void TSpeedButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect face = rect();
    painter.fillRect(face, ToQColor(clBtnFace));
    const bool down = isDown();
    // Two rings, as a push button has: the outer one light and black, the
    // inner one face-light and shadow; pressed, both turn round.
    const QColor outerLight = ToQColor(clBtnHighlight);
    const QColor outerDark = palette().color(QPalette::Shadow);
    QRect r = face;
    const QColor& tl = down ? outerDark : outerLight;
    const QColor& br = down ? outerLight : outerDark;
    painter.fillRect(r.left(), r.top(), r.width(), 1, tl);
    painter.fillRect(r.left(), r.top(), 1, r.height(), tl);
    painter.fillRect(r.left(), r.bottom(), r.width(), 1, br);
    painter.fillRect(r.right(), r.top(), 1, r.height(), br);
    r.adjust(1, 1, -1, -1);
    DrawBevel(painter, r, down ? TBevelCut::bvLowered : TBevelCut::bvRaised, 1);
    if (Glyph_.isNull()) {
        return;
    }
    const int shift = down ? 1 : 0;
    const int x = (width() - Glyph_.width()) / 2 + shift;
    const int y = (height() - Glyph_.height()) / 2 + shift;
    painter.drawPixmap(x, y, Glyph_);
}

} // namespace virevi
