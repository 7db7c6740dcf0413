#include "dialogs/qt/about_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>

#include "dialogs/form_scaling.h"

namespace virevi::test {
namespace {

// Runs `answer` once the box's own loop is running, so ShowModal never blocks.
int ShowAnswering(TAboutBox& box, std::function<void()> answer) {
    QTimer::singleShot(0, &box, [&box, answer = std::move(answer)] {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
        answer();
    });
    return box.ShowModal();
}

QWidget* Focused(TAboutBox& box) {
    QWidget* focus = QApplication::focusWidget();
    EXPECT_EQ(focus, box.findChild<QPushButton*>("OKButton")) << "OK has the focus";
    return focus;
}

class AboutBoxTest : public testing::Test {
protected:
    TAboutBox Box;
    // The layout is drawn for a 12-pixel line; with a face whose line is
    // taller every bound grows by the same ratio.
    int TextHeight() const { return qRound(QFontMetricsF(Box.font()).height()); }
    QRect Scaled(QRect design) const {
        const TRect bounds =
            ScaledBounds({design.left(), design.top(), design.left() + design.width(),
                          design.top() + design.height()},
                         TextHeight(), 12);
        return {bounds.Left, bounds.Top, bounds.Width(), bounds.Height()};
    }
    template <typename T = QWidget> T* Child(const char* name) {
        T* child = Box.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
};

TEST_F(AboutBoxTest, CreatedHiddenWithItsCaptionAndFont) {
    EXPECT_FALSE(Box.isVisible());
    EXPECT_EQ(Box.windowTitle(), QString::fromUtf8("バージョン情報"));
    EXPECT_EQ(Box.font().pixelSize(), 12);
    const QFontInfo face(Box.font());
    EXPECT_FALSE(face.fixedPitch()) << face.family().toStdString();
    EXPECT_TRUE(QFontMetrics(Box.font()).inFontUcs4(U'情')) << face.family().toStdString();
    EXPECT_GE(TextHeight(), 12);
    EXPECT_LE(TextHeight(), 14) << "a 12-pixel face";
}

struct TBoundsCase {
    const char* Name;
    const char* Parent;
    QRect Bounds;
};

TEST_F(AboutBoxTest, ControlsSitWhereTheLayoutPutsThem) {
    EXPECT_EQ(Box.size(), Scaled({0, 0, 298, 213}).size());
    if (TextHeight() == 13) { // the IPA face: 298·13/12 = 322.8, 213·13/12 = 230.75
        EXPECT_EQ(Box.size(), QSize(323, 231));
    }
    EXPECT_EQ(Box.minimumSize(), Box.maximumSize()) << "fixed size";
    const TBoundsCase cases[] = {
        {"Panel1", "AboutBox", {8, 8, 281, 161}},
        {"ProgramIcon", "Panel1", {8, 8, 121, 89}},
        {"OKButton", "AboutBox", {111, 180, 75, 25}},
    };
    for (const auto& c : cases) {
        QWidget* control = Child(c.Name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget()->objectName(), QString::fromLatin1(c.Parent)) << c.Name;
        EXPECT_EQ(control->geometry(), Scaled(c.Bounds)) << c.Name;
    }
}

struct TLabelCase {
    const char* Name;
    QPoint At;
    const char* Text; // the text, or how it begins
};

TEST_F(AboutBoxTest, LabelsShowTheirTextsWhollyOnThePanel) {
    const TLabelCase cases[] = {
        {"ProductName", {168, 16}, "Nodewick 1.0"},
        {"Version", {168, 40}, "Version 2.01"},
        {"ReleaseDate", {8, 112}, "2001.09.20"},
        {"Comments", {8, 136}, ""},
    };
    QWidget* panel = Child("Panel1");
    for (const auto& c : cases) {
        auto* label = Child<QLabel>(c.Name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->parentWidget(), panel) << c.Name;
        EXPECT_EQ(label->pos(), Scaled({c.At, QSize()}).topLeft()) << c.Name;
        const QString text = QString::fromUtf8(c.Text);
        EXPECT_EQ(label->text().left(text.size()), text) << c.Name;
        const QFontMetrics metrics(label->font());
        EXPECT_GE(label->width(), metrics.horizontalAdvance(label->text()))
            << c.Name << " not clipped";
        EXPECT_GE(label->height(), metrics.height()) << c.Name;
        EXPECT_LE(label->geometry().right(), panel->width() - 3) << c.Name << " inside the bevel";
    }
    EXPECT_GT(Child<QLabel>("ReleaseDate")->text().size(), 10) << "a credit follows the date";
    auto* ok = Child<QPushButton>("OKButton");
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_TRUE(ok->isDefault());
}

TEST_F(AboutBoxTest, EnterClosesWithOneAndTheBoxShowsAgainCentred) {
    const QRect screen = Box.screen()->geometry();
    for (int time = 0; time < 2; ++time) {
        QPoint centre;
        const int result = ShowAnswering(Box, [&] {
            centre = Box.frameGeometry().center();
            QTest::keyClick(Focused(Box), Qt::Key_Return);
        });
        EXPECT_EQ(result, 1) << "time " << time;
        EXPECT_FALSE(Box.isVisible());
        EXPECT_LE((centre - screen.center()).manhattanLength(), 2) << "time " << time;
        Box.move(3, 5); // wherever it was left, it comes back to the middle
    }
}

TEST_F(AboutBoxTest, ClickingOkClosesWithOne) {
    EXPECT_EQ(ShowAnswering(Box, [&] { QTest::mouseClick(Child("OKButton"), Qt::LeftButton); }), 1);
}

TEST_F(AboutBoxTest, CloseBoxClosesWithTwo) {
    EXPECT_EQ(ShowAnswering(Box, [&] { Box.close(); }), 2);
}

TEST_F(AboutBoxTest, EscapeLeavesItOpen) {
    bool openAfterEscape = false;
    const int result = ShowAnswering(Box, [&] {
        QTest::keyClick(Focused(Box), Qt::Key_Escape);
        QTest::keyClick(&Box, Qt::Key_Escape);
        openAfterEscape = Box.isVisible();
        QTest::keyClick(Focused(Box), Qt::Key_Enter);
    });
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(result, 1) << "keypad Enter presses OK too";
}

TEST_F(AboutBoxTest, PhotographFillsItsWholeArea) {
    QImage shot;
    ShowAnswering(Box, [&] {
        shot = Child("ProgramIcon")->grab().toImage();
        Box.close();
    });
    ASSERT_EQ(shot.size(), Scaled({8, 8, 121, 89}).size());
    const int right = shot.width() - 1, bottom = shot.height() - 1;
    const QColor face = Box.palette().color(QPalette::Window);
    // Drawn to every edge: no pixel of the panel shows round it.
    int showing = 0;
    for (int x = 0; x <= right; ++x) {
        showing += shot.pixelColor(x, 0) == face || shot.pixelColor(x, bottom) == face;
    }
    for (int y = 0; y <= bottom; ++y) {
        showing += shot.pixelColor(0, y) == face || shot.pixelColor(right, y) == face;
    }
    EXPECT_EQ(showing, 0);
    // Sky along the top edge, sunflowers along the bottom: the picture stands upright.
    auto redOverBlue = [&](int y) {
        int sum = 0;
        for (int x = 0; x <= right; ++x) {
            sum += shot.pixelColor(x, y).red() - shot.pixelColor(x, y).blue();
        }
        return sum / (right + 1);
    };
    EXPECT_LT(redOverBlue(0), 0);
    EXPECT_GT(redOverBlue(bottom), 40);
}

} // namespace
} // namespace virevi::test
