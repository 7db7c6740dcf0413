#pragma once
// The About box: the photograph, the product's name and version, the date
// and who made it. Made once, hidden, when the program starts; shown again,
// unchanged, whenever asked for.
#include <QDialog>

class QKeyEvent;
class QLabel;
class QPushButton;

namespace virevi {

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);

    /// Shows the box centred on the screen and waits for it to close: 1 after
    /// OK or Enter, 2 after the close box. Escape does not close it.
    int ShowModal();

    /// The close box's result, and the only way other than OK to close.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* Panel1;
    QWidget* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* ReleaseDate;
    QLabel* Comments;
    QPushButton* OKButton;
};

} // namespace virevi
