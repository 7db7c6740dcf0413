#include "app/main_window.h"

#include "runtime/messages.h"

namespace virevi {

TMain::TMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QString::fromUtf8(msg::UntitledCaption));
    resize(640, 480);
}

} // namespace virevi
