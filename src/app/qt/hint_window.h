#pragma once
// The box a hint shows in: topmost, a thin border, just large enough for its text.
#include <QWidget>

#include "runtime/canvas.h"

namespace virevi {

class THintWindow : public QWidget {
    Q_OBJECT

public:
    explicit THintWindow(QWidget* parent = nullptr);

    void SetColor(TColor color);
    TColor Color() const { return Color_; }
    const QString& Text() const { return Text_; }
    /// The size the text takes in the hint font, without the margins.
    QSize TextSize(const QString& text) const;
    /// Shows `text` in a box at `bounds` (screen coordinates).
    void ActivateHint(const QRect& bounds, const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString Text_;
    TColor Color_ = clInfoBk;
};

} // namespace virevi
