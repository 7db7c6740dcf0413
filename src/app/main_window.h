#pragma once
#include <QMainWindow>

namespace virevi {

/// The main window: the outline on the left, the note editor on the right.
class TMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TMain(QWidget* parent = nullptr);
};

} // namespace virevi
