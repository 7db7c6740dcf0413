#pragma once
// The outline control on screen (olTree in the main window): Qt's events go
// into the grid's handlers, the grid's requests come back as Qt calls, and
// the rows are painted through a canvas over QPainter.
#include <QAbstractScrollArea>
#include <QBasicTimer>

#include "outline/custom_outline.h"
#include "outline/qt/qt_canvas.h"

class QScrollBar;

namespace virevi {

class TOutline : public QAbstractScrollArea, public TCustomOutline {
    Q_OBJECT

public:
    explicit TOutline(QWidget* parent = nullptr);

    /// Paints `area` of the rows into `painter` as the widget would.
    void PaintRows(QPainter& painter, const TRect& area);

protected:
    // --- Qt's events --------------------------------------------------------
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // --- the grid's platform ------------------------------------------------
    void InvalidateRect(const TRect& rect) override;
    void ScrollContents(std::int32_t dx, std::int32_t dy) override;
    void SetScrollBar(TScrollBarKind kind, bool visible, std::int32_t max,
                      std::int32_t position) override;
    void StartTimer() override;
    void KillTimer() override;
    bool CanFocus() const override;
    bool Focused() const override;
    void TakeFocus() override;
    TPoint WindowClientSize() const override;
    TPoint ScrollBarExtent() const override;
    TPoint CursorPos() const override;
    TCanvas* MeasureCanvas() override { return &Canvas_; }
    void Beep() override;
    std::int32_t ScreenPixelsPerInch() const override;

private:
    void ScrollBarAction(TScrollBarKind kind, int action);
    QScrollBar* Bar(TScrollBarKind kind) const;

    TQtCanvas Canvas_;
    QBasicTimer Timer_;
    TPoint LastPointer_;
    bool Resizing_ = false;
    TPoint BarExtent_; // asked of the style once: the grid needs it on every geometry question
};

} // namespace virevi
