#pragma once
// Stand-in for the outline widget until it is built: the model on a plain
// scroll area, rows of 16 pixels, the focus event and the click on a row.
#include <QAbstractScrollArea>

#include <functional>

#include "outline/custom_outline.h"
#include "runtime/canvas.h"

namespace virevi {

class TOutline : public QAbstractScrollArea, public TCustomOutline {
    Q_OBJECT
public:
    explicit TOutline(QWidget* parent = nullptr);

    /// The band of `row` in client coordinates.
    TRect RowRect(std::int32_t row) const;

    /// Raised when the control receives the keyboard focus.
    std::function<void(TOutline& sender)> OnEnter;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void RepaintRow(std::int32_t row) override;
    void RepaintAll() override;
    void RowMoved(std::int32_t oldRow) override;

private:
    bool Pressed_ = false;
};

} // namespace virevi
