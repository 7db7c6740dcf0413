#pragma once
// The whole main window around its three working controls: the tool bar with
// its buttons and the position label, the outline and note panes, the status
// bar, the main menu with its short-cut keys, the hints and the splitter.
#include <QCursor>
#include <QObject>

#include <functional>
#include <vector>

#include "app/main_menu.h"
#include "app/splitter.h"

class QLabel;
class QMainWindow;
class QMenuBar;

namespace virevi {

class THintController;
class TPanel;
class TSpeedButton;

/// Runs the command a menu item, a tool bar button or a short-cut stands for.
using TRunCommand = std::function<void(TCommand command)>;

class TMainLayout : public QObject {
    Q_OBJECT

public:
    /// Builds everything on `window`, which it sizes for a 620 x 356 client
    /// area below the menu bar; the three controls move into their panes, and
    /// the note editor will have the focus when the window first becomes active.
    /// The splitter's drag flag lives in `dragging` when given.
    TMainLayout(QMainWindow& window, QWidget& olTree, QWidget& moNote, QLabel& lbIndex,
                TRunCommand run, bool* dragging = nullptr);
    ~TMainLayout() override;

    TSplitter& Splitter() { return Splitter_; }
    THintController& Hints() { return *Hints_; }

    TPanel* ClientArea = nullptr;
    TPanel* pnSpeed = nullptr;
    TPanel* pnStatus = nullptr;
    TPanel* pnOutline = nullptr;
    TPanel* pnMemo = nullptr;
    TPanel* pnStLeft = nullptr;
    TPanel* pnStRight = nullptr;
    TPanel* pnIndex = nullptr;
    QMenuBar* dlMainMenu = nullptr;
    std::vector<TSpeedButton*> Buttons;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildPanels(QWidget& olTree, QWidget& moNote, QLabel& lbIndex);
    void BuildMenu();
    void BuildToolBar();
    void Run(TCommand command);

    void pnOutlineMouseDown(TMouseButton button, int x, int y);
    void pnOutlineMouseMove(int x, int y);
    void pnOutlineMouseUp(TMouseButton button, int x, int y);
    bool OverOutlineFrame(const QPoint& position) const;
    /// A key that is a menu's short-cut goes to the menu, not to the control
    /// with the focus, which might claim it for itself.
    bool IsShortCutOfWindow(QObject* focus, QEvent* event) const;

    QMainWindow& Window_;
    TRunCommand Run_;
    TSplitter Splitter_;
    THintController* Hints_;
    QCursor SplitCursor_;
};

} // namespace virevi
