#include "dialogs/qt/window_placement.h"

#include <QRect>
#include <QWidget>

namespace virevi {

void CentreFrameIn(QWidget& window, const QRect& area) {
    static_cast<void>(window.winId());
    const QSize outside = window.frameGeometry().size();
    // move() places the frame's corner, so the frame is what is centred.
    window.move(area.x() + (area.width() - outside.width()) / 2,
                area.y() + (area.height() - outside.height()) / 2);
}

} // namespace virevi
