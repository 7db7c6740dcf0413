#include "app/qt/hint_controller.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>

#include "app/qt/hint_window.h"

namespace virevi {

namespace {

// Qt tells nothing of the arrow cursor's drawn size; this is the usual one.
constexpr int CursorHeight = 20;

} // namespace

THintController::THintController(QObject* parent) : QObject(parent), Window_(new THintWindow) {
    Window_->SetColor(clAqua);
    Clock_.setSingleShot(true);
    connect(&Clock_, &QTimer::timeout, this, [this] { Apply(Timer_.Timeout()); });
    qApp->installEventFilter(this);
}

THintController::~THintController() {
    delete Window_;
}

void THintController::AddControl(QWidget& control, const QString& hint) {
    Controls_.push_back({&control, hint});
    connect(&control, &QObject::destroyed, this, [this, &control] {
        const int index = IndexOf(&control);
        if (index == Timer_.Shown()) {
            Apply(Timer_.Cancel());
        }
        if (index >= 0) {
            Controls_[static_cast<std::size_t>(index)].Control = nullptr;
        }
    });
}

void THintController::SetColor(TColor color) {
    Window_->SetColor(color);
}

int THintController::IndexOf(const QObject* control) const {
    for (std::size_t i = 0; i < Controls_.size(); ++i) {
        if (Controls_[i].Control == control) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool THintController::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter: {
        const int index = IndexOf(watched);
        if (index >= 0) {
            Pointer_ = static_cast<QEnterEvent*>(event)->globalPosition().toPoint();
            Apply(Timer_.Enter(index));
        }
        break;
    }
    case QEvent::Leave:
        if (IndexOf(watched) >= 0) {
            Apply(Timer_.Leave());
        }
        break;
    case QEvent::MouseMove: {
        // Every move passes here, tracked by its widget or not; the copies a
        // widget hands on to its parents are not spontaneous and say nothing
        // new about where the pointer is.
        Pointer_ = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        if (event->spontaneous() && watched->isWidgetType() && IndexOf(watched) < 0) {
            Apply(Timer_.Away());
        }
        break;
    }
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
        Apply(Timer_.Cancel());
        break;
    case QEvent::NonClientAreaMouseMove:
    case QEvent::ApplicationStateChange:
        Apply(Timer_.Away());
        break;
    default:
        break;
    }
    return false;
}

void THintController::Apply(const THintStep& step) {
    if (step.Hide) {
        Window_->hide();
    }
    if (step.Show != THintStep::NoControl) {
        ShowHint(step.Show);
    }
    if (step.Timer == THintStep::StopTimer) {
        Clock_.stop();
    } else if (step.Timer != THintStep::KeepTimer) {
        Clock_.start(step.Timer);
    }
}

void THintController::ShowHint(int index) {
    const TEntry& entry = Controls_[static_cast<std::size_t>(index)];
    // Hints are for the program in front only.
    if (!entry.Control || QGuiApplication::applicationState() != Qt::ApplicationActive) {
        return;
    }
    const QScreen* screen = entry.Control->screen();
    const QRect desktop = screen ? screen->geometry() : QRect(0, 0, 1 << 16, 1 << 16);
    const QSize text = Window_->TextSize(entry.Hint);
    const TRect bounds =
        HintBounds({Pointer_.x(), Pointer_.y()}, CursorHeight, text.width(), text.height(),
                   {desktop.left(), desktop.top(), desktop.left() + desktop.width(),
                    desktop.top() + desktop.height()});
    Window_->ActivateHint({bounds.Left, bounds.Top, bounds.Width(), bounds.Height()}, entry.Hint);
}

} // namespace virevi
