#pragma once
// Answering the program's modal windows from the test itself: the answer runs
// from the event loop the window opens, so the test never blocks on it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace virevi::test {

/// Calls `answer` with the first visible modal window of type `Window` once it
/// is open. A window the answer leaves open is closed after five seconds and
/// the test fails, rather than hanging.
template <typename Window> void WhenModalOpens(std::function<void(Window&)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (window == nullptr || !window->isVisible()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        answer(*window);
        QTimer::singleShot(5000, window, [window] {
            ADD_FAILURE() << "the modal window was left open";
            window->close();
        });
    });
    timer->start();
}

} // namespace virevi::test
