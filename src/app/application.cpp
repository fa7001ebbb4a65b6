#include "app/application.hpp"

#include <QIcon>

#include "app/application_title.hpp"
#include "app/error_report.hpp"
#include "widgets/program_look.hpp"

namespace quill {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(applicationTitle());
    loadGermanQtTranslations(qtTranslator_);
    applyProgramLook();
    const QIcon icon(QStringLiteral(":/quillmaskerade.png"));
    if (!icon.isNull()) setWindowIcon(icon);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportException(std::current_exception());
        return false;
    }
}

}  // namespace quill
