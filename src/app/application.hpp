#pragma once

#include <QApplication>
#include <QTranslator>

namespace quill {

// The application object: German Qt texts, the program's look, the window
// icon, and the error box for every exception that escapes an event.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    QTranslator qtTranslator_;
};

}  // namespace quill
