#include "dialogs/qt/about_box.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <exception>
#include <memory>

#include "dialogs/about_photo.h"
#include "dialogs/form_scaling.h"
#include "dialogs/message_layout.h"
#include "dialogs/picture_formats.h"
#include "dialogs/qt/window_placement.h"
#include "runtime/messages.h"
#include "runtime/qt/qt_font.h"

namespace virevi {
namespace {

// The layout was drawn at 96 dpi with a font whose line is 12 pixels high.
constexpr int DesignFontHeight = 12;
constexpr int DesignTextHeight = 12;
constexpr TRect ClientBounds{0, 0, 298, 213};
constexpr TRect Panel1Bounds{8, 8, 8 + 281, 8 + 161};
constexpr TRect ProgramIconBounds{8, 8, 8 + 121, 8 + 89};
constexpr TRect OKButtonBounds{111, 180, 111 + 75, 180 + 25};
constexpr TPoint ProductNameAt{168, 16};
constexpr TPoint VersionAt{168, 40};
constexpr TPoint ReleaseDateAt{8, 112};
constexpr TPoint CommentsAt{8, 136};

QRect ToQRect(const TRect& bounds) {
    return {bounds.Left, bounds.Top, bounds.Width(), bounds.Height()};
}

// The proportional Gothic; on a desktop without it, the nearest Japanese face.
QFont DialogFont(int pixelsPerInch) {
    const QString face =
        JapaneseFace({QString::fromUtf8(msg::ProportionalGothicFace), QStringLiteral("IPAPGothic"),
                      QString::fromUtf8("IPA Pゴシック")},
                     /*fixedPitch=*/false);
    QFont font =
        face.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::GeneralFont) : QFont(face);
    font.setPixelSize(ScaledFontHeight(DesignFontHeight, pixelsPerInch));
    return font;
}

// A raised area in a sunken frame, one pixel each.
class TBevelPanel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QColor shadow = palette().color(QPalette::Dark);
        const QColor light = palette().color(QPalette::Light);
        const QRect outer = rect().adjusted(0, 0, -1, -1);
        const QRect inner = outer.adjusted(1, 1, -1, -1);
        Frame(painter, outer, shadow, light); // lowered
        Frame(painter, inner, light, shadow); // raised
    }

private:
    static void Frame(QPainter& painter, const QRect& r, const QColor& topLeft,
                      const QColor& bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }
};

// The stored picture, decoded when first drawn and stretched to fill the box.
class TPictureBox : public QWidget {
public:
    TPictureBox(std::unique_ptr<TGraphic> graphic, QWidget* parent)
        : QWidget(parent), Graphic_(std::move(graphic)) {}

protected:
    void paintEvent(QPaintEvent*) override {
        if (Image_.isNull() && !Failed_) {
            Decode();
        }
        if (Image_.isNull()) {
            return;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), Image_);
    }

private:
    void Decode() {
        try {
            const TRgbImage& bitmap = Graphic_->Bitmap();
            // The decoder keeps its pixels; the QImage copies them so it owns its own.
            Image_ = QImage(bitmap.Pixels.data(), bitmap.Width, bitmap.Height, bitmap.Width * 3,
                            QImage::Format_RGB888)
                         .copy();
        } catch (...) {
            // Not from inside a paint: the error goes to the error display
            // from the event loop, once; the box stays plain.
            Failed_ = true;
            QTimer::singleShot(
                0, this, [error = std::current_exception()] { std::rethrow_exception(error); });
        }
    }

    std::unique_ptr<TGraphic> Graphic_;
    QImage Image_;
    bool Failed_ = false;
};

} // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QString::fromUtf8(msg::AboutCaption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);

    const int pixelsPerInch = logicalDpiY();
    setFont(DialogFont(pixelsPerInch));
    // Measured unrounded, then rounded once: ascent and descent each rounded
    // up would make a line a pixel taller than the face draws it.
    const int textHeight = qRound(QFontMetricsF(font()).height());
    auto scaled = [&](const TRect& bounds) {
        return ToQRect(ScaledBounds(bounds, textHeight, DesignTextHeight));
    };
    auto scaledAt = [&](TPoint at) { return scaled({at.X, at.Y, at.X, at.Y}).topLeft(); };

    Panel1 = new TBevelPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(scaled(Panel1Bounds));

    ProgramIcon = new TPictureBox(ReadStoredPicture(AboutPhotoStored()), Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(scaled(ProgramIconBounds));

    auto label = [&](const char* name, const QString& text, TPoint at) {
        auto* l = new QLabel(text, Panel1);
        l->setObjectName(QString::fromLatin1(name));
        l->setTextFormat(Qt::PlainText);
        l->move(scaledAt(at));
        l->adjustSize();
        return l;
    };
    ProductName = label("ProductName", QString::fromUtf8(msg::AboutProductName), ProductNameAt);
    Version = label("Version", QString::fromUtf8(msg::AboutVersion), VersionAt);
    ReleaseDate =
        label("ReleaseDate",
              QString::fromUtf8(msg::AboutReleaseDate) + QString::fromUtf8(msg::AboutCredit),
              ReleaseDateAt);
    Comments = label("Comments", QString::fromUtf8(msg::AboutComments), CommentsAt);

    OKButton = new QPushButton(QString::fromUtf8(msg::ButtonOK), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(scaled(OKButtonBounds));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] { done(mrOk); });

    setFixedSize(scaled(ClientBounds).size());
}

int TAboutBox::ShowModal() {
    // Centred on the screen each time, frame and all.
    const QScreen* where = parentWidget() != nullptr ? parentWidget()->screen() : screen();
    CentreFrameIn(*this, where->geometry());
    OKButton->setFocus();
    return exec();
}

void TAboutBox::reject() {
    done(mrCancel);
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
    // There is no cancel button, so Escape has nothing to press.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace virevi
