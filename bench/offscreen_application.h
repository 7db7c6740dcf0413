#pragma once
// The one QApplication of the benchmark run, on the offscreen platform.
#include <QApplication>

namespace virevi::bench {

/// Never destroyed: the widgets of the cached documents outlive main.
inline void EnsureApplication() {
    static QApplication* app = nullptr;
    if (app == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "virevi_bench";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
    }
}

} // namespace virevi::bench
