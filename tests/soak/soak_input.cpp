// The mouse, the keys and typing, as a person at the window gives them.
#include "soak.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>

#include "editor/qt/memo.h"
#include "outline/outline_node.h"
#include "outline/qt/outline.h"

namespace virevi::test {

void TSoak::ClickRow(bool twice) {
    TOutline& tree = *Main_.olTree;
    const std::int32_t first = tree.TopRow();
    const std::int32_t last = tree.LastFullyVisibleRow();
    if (tree.RowCount() == 0 || last < first) {
        return;
    }
    const std::int32_t row = first + Below(last - first + 1);
    const TRect band = tree.RowRect(row);
    const std::int32_t level = tree.ItemOnRow(row)->Level();
    // Often on the item's picture or +/- sign, at the left of its caption.
    // Within the pane: the platform drops a press outside the window.
    const int width = std::max(1, std::min(tree.viewport()->width(), band.Right));
    const int x = Below(OneIn(2) ? std::min(20 * level, width) : width);
    const QPoint at(x, band.Top + Below(std::max(1, band.Bottom - band.Top)));
    Current_ << " row " << row << " at " << at.x() << "," << at.y();
    if (twice) {
        QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, at);
    } else {
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
    }
}

void TSoak::OutlineKey() {
    struct TKey {
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        const char* Text;
    };
    static const std::vector<TKey> keys = {
        {Qt::Key_Up, Qt::NoModifier, ""},
        {Qt::Key_Down, Qt::NoModifier, ""},
        {Qt::Key_PageUp, Qt::NoModifier, ""},
        {Qt::Key_PageDown, Qt::NoModifier, ""},
        {Qt::Key_Home, Qt::NoModifier, ""},
        {Qt::Key_End, Qt::NoModifier, ""},
        {Qt::Key_Left, Qt::NoModifier, ""},
        {Qt::Key_Right, Qt::NoModifier, ""},
        {Qt::Key_Plus, Qt::NoModifier, "+"},
        {Qt::Key_Minus, Qt::NoModifier, "-"},
        {Qt::Key_Asterisk, Qt::NoModifier, "*"},
        {Qt::Key_Return, Qt::NoModifier, "\r"},
        {Qt::Key_Up, Qt::ControlModifier, ""},
        {Qt::Key_Down, Qt::ControlModifier, ""},
        {Qt::Key_Asterisk, Qt::ControlModifier | Qt::KeypadModifier, "*"},
    };
    const TKey key = Pick(keys);
    Current_ << " "
             << QKeySequence(QKeyCombination(key.Modifiers, key.Key)).toString().toStdString();
    FocusOn(Main_.olTree);
    QTest::sendKeyEvent(QTest::Click, Main_.olTree, key.Key, QString::fromLatin1(key.Text),
                        key.Modifiers);
}

void TSoak::Wheel(QWidget* target) {
    const int delta = (Below(2) == 0 ? 120 : -120) * (1 + Below(3));
    const QPoint at(Below(std::max(1, target->width())), Below(std::max(1, target->height())));
    Current_ << " delta " << delta;
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

void TSoak::TypeAscii() {
    static const std::vector<const char*> words = {"note",  "a",      "Item ",     " lead",
                                                   "x y z", "\\path", "~!@#$%^&()"};
    const char* word = Pick(words);
    Current_ << " \"" << word << "\"";
    FocusOn(Main_.moNote);
    TypeText(QString::fromLatin1(word));
}

// One key event a character, as a keyboard sends them.
void TSoak::TypeText(const QString& text) {
    for (const QChar c : text) {
        const bool plain = c.unicode() < 0x80 && c.isLetterOrNumber();
        const auto key = plain                   ? Qt::Key(c.toUpper().unicode())
                         : c == QLatin1Char(' ') ? Qt::Key_Space
                                                 : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, Main_.moNote, key, QString(c), Qt::NoModifier);
    }
}

// Japanese as a keyboard would send it, one character an event; € and the
// emoji have no Shift-JIS form.
void TSoak::TypeJapanese() {
    static const std::vector<QString> words = {
        QStringLiteral("日本語"), QStringLiteral("表示"),   QStringLiteral("ソフト"),
        QStringLiteral("ｶﾅ"),     QStringLiteral("\u20ac"), QStringLiteral("\U0001F600")};
    const QString& word = Pick(words);
    Current_ << " " << word.toStdString();
    FocusOn(Main_.moNote);
    TypeText(word);
}

void TSoak::TypeByInputMethod() {
    static const std::vector<QString> words = {QStringLiteral("変換"), QStringLiteral("漢字かな"),
                                               QStringLiteral("\U0001F600字")};
    const QString& word = Pick(words);
    Current_ << " " << word.toStdString();
    FocusOn(Main_.moNote);
    QInputMethodEvent event;
    event.setCommitString(word);
    QApplication::sendEvent(Main_.moNote, &event);
}

void TSoak::EditorKey() {
    struct TKey {
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
    };
    static const std::vector<TKey> keys = {
        {Qt::Key_Return, Qt::NoModifier},    {Qt::Key_Return, Qt::NoModifier},
        {Qt::Key_Backspace, Qt::NoModifier}, {Qt::Key_Delete, Qt::NoModifier},
        {Qt::Key_Left, Qt::NoModifier},      {Qt::Key_Right, Qt::NoModifier},
        {Qt::Key_Up, Qt::NoModifier},        {Qt::Key_Down, Qt::NoModifier},
        {Qt::Key_Home, Qt::ControlModifier}, {Qt::Key_End, Qt::ControlModifier},
        {Qt::Key_Right, Qt::ShiftModifier},  {Qt::Key_Left, Qt::ShiftModifier},
        {Qt::Key_Down, Qt::ShiftModifier},   {Qt::Key_Tab, Qt::NoModifier},
        {Qt::Key_Z, Qt::ControlModifier},    {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier},
    };
    const TKey& key = Pick(keys);
    Current_ << " "
             << QKeySequence(QKeyCombination(key.Modifiers, key.Key)).toString().toStdString();
    FocusOn(Main_.moNote);
    QTest::keyClick(Main_.moNote, key.Key, key.Modifiers);
}

void TSoak::ExpandByApi(bool expand) {
    TOutline& tree = *Main_.olTree;
    // The outline expands only items on a row.
    TOutlineNode* item = tree.ItemOnRow(Below(tree.RowCount()));
    const std::int32_t index = item->Index();
    const int how = Below(3);
    Current_ << " item " << index << " way " << how;
    if (!expand) {
        item->SetExpanded(false);
    } else if (how == 0) {
        item->SetExpanded(true);
    } else if (how == 1) {
        tree.ToggleExpanded(item);
    } else {
        item->ExpandAll();
    }
}

} // namespace virevi::test
