#pragma once
// Shows the hints of the controls given to it, timed by THintTimer. It watches
// the whole application, since any key or button press anywhere hides a hint.
#include <QObject>
#include <QPoint>
#include <QTimer>

#include <vector>

#include "app/hint_timer.h"

namespace virevi {

class THintWindow;

class THintController : public QObject {
    Q_OBJECT

public:
    explicit THintController(QObject* parent = nullptr);
    ~THintController() override;

    /// The pointer resting over `control` shows `hint`.
    void AddControl(QWidget& control, const QString& hint);
    THintSettings& Settings() { return Timer_.Settings(); }
    /// The hint colour; aqua unless changed.
    void SetColor(TColor color);
    THintWindow& Window() { return *Window_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Apply(const THintStep& step);
    int IndexOf(const QObject* control) const;
    void ShowHint(int index);

    struct TEntry {
        QWidget* Control;
        QString Hint;
    };
    std::vector<TEntry> Controls_;
    THintTimer Timer_;
    QTimer Clock_;
    THintWindow* Window_;
    QPoint Pointer_;
};

} // namespace virevi
