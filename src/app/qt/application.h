#pragma once
// The application object: the one place where an exception that escaped an
// event handler stops. It is shown by the error display and the event loop
// goes on; no exception ever unwinds through Qt.
#include <QApplication>
#include <QPointer>
#include <QTranslator>

namespace virevi {

class TApplication : public QApplication {
    Q_OBJECT

public:
    /// Also sets the application title, which the error display's box
    /// carries, and puts what Qt draws itself (its dialogs, the editor's
    /// context menu) into Japanese, whatever the user's locale.
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

    /// The widget holding the mouse: one that grabbed it, else the one a
    /// still-held button was pressed on; nullptr when none.
    QWidget* MouseCapture() const;
    /// Forgets the widget a held button was pressed on, once its mode is cancelled.
    void ForgetMouseCapture();

private:
    QPointer<QWidget> Pressed_;
    QTranslator QtTexts_;
};

} // namespace virevi
