#pragma once
// A tool bar button: a raised 3-D push button with a picture that never takes
// the keyboard focus. It draws pressed while the left button is held over it
// and runs (clicked) only when released over it.
#include <QAbstractButton>
#include <QPixmap>

namespace virevi {

class TSpeedButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit TSpeedButton(const QString& name, QWidget* parent = nullptr);

    /// The picture; pixels of its bottom-left pixel's colour show the face.
    void SetGlyph(const QImage& image);
    const QPixmap& Glyph() const { return Glyph_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap Glyph_;
};

} // namespace virevi
