#pragma once
// Where the program's top-level windows appear.
class QRect;
class QWidget;

namespace virevi {

/// Moves the top-level `window` so that its outer frame, title bar included,
/// is centred in `area`. The native window is made first, so that the
/// platform can say how wide its frame is; without a frame this centres
/// the client area.
void CentreFrameIn(QWidget& window, const QRect& area);

} // namespace virevi
