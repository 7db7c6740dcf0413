#include <QApplication>
#include <QScreen>

#include "app/main_window.h"
#include "runtime/messages.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(virevi::msg::ApplicationTitle));

    virevi::TMain window;
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
    window.show();
    return QApplication::exec();
}
