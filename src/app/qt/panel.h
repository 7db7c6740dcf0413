#pragma once
// A flat panel with 3-D bevels that lays its controls out by their alignment.
#include <QPointer>
#include <QWidget>

#include <vector>

#include "app/align_controls.h"
#include "runtime/canvas.h"

class QPainter;

namespace virevi {

enum class TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised };

class TPanel : public QWidget {
    Q_OBJECT

public:
    explicit TPanel(const QString& name, QWidget* parent = nullptr);

    /// The outer bevel is drawn at the edge, the inner one just inside it.
    void SetBevels(TBevelCut outer, TBevelCut inner, int width);
    void SetColor(TColor color);
    TColor Color() const { return Color_; }
    /// The pixels the bevels take at each edge; aligned controls sit inside them.
    int FrameWidth() const;

    /// Puts `control` on the panel with its alignment and its bounds (which for
    /// an aligned control give only the height or width it keeps, also after
    /// the panel was too small for it for a while). A client control keeps
    /// `minimum` where the other controls can give way.
    void InsertControl(QWidget& control, TAlign align, const QRect& bounds,
                       const QSize& minimum = {});
    /// Gives an aligned control the width it keeps from now on.
    void SetControlWidth(QWidget& control, int width);
    /// Lays the aligned controls out again, as after a control changed size.
    void Realign();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct TEntry {
        QPointer<QWidget> Control;
        TAlign Align;
        QRect Designed;
        QSize Minimum;
    };
    std::vector<TEntry> Controls_;
    TBevelCut BevelOuter_ = TBevelCut::bvRaised;
    TBevelCut BevelInner_ = TBevelCut::bvNone;
    int BevelWidth_ = 1;
    TColor Color_ = clBtnFace;
};

/// Draws a `width`-pixel 3-D frame just inside `rect`: light at the top and
/// left and dark at the bottom and right for raised, the other way round for
/// lowered. Returns the rectangle inside it.
QRect DrawBevel(QPainter& painter, const QRect& rect, TBevelCut cut, int width);

} // namespace virevi
