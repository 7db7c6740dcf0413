#pragma once
// The find dialog: a small modeless window with the search text, the case
// switch and the buttons "次を検索" and "閉じる". It stays open while the
// user goes on working; the main window runs the searches it asks for.
#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace virevi {

class TFindForm : public QDialog {
    Q_OBJECT

public:
    explicit TFindForm(QWidget* parent = nullptr);

    /// Shows the dialog centred on the screen, or brings it forward where it
    /// is when already shown, with the field's text selected and focused.
    void Open();

    /// The field as Shift-JIS; a character Shift-JIS cannot hold becomes "?".
    std::string SearchText() const;
    bool MatchCase() const;
    /// Puts a search (Shift-JIS) into the field and the box.
    void SetSearch(const std::string& text, bool matchCase);

    /// Runs for "次を検索" (or Enter) while the field holds text.
    std::function<void(const std::string& text, bool matchCase)> OnFindNext;

    QLineEdit* edFind;
    QCheckBox* cbMatchCase;
    QPushButton* btFindNext;
    QPushButton* btClose;

private:
    void FindNextClick();
};

} // namespace virevi
