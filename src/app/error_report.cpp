#include "app/error_report.hpp"

#include <QApplication>
#include <QWidget>
#include <stdexcept>

#include "app/application_title.hpp"
#include "widgets/desktop.hpp"

namespace quill {

namespace {

std::string messageOf(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unbekannter Fehler";
    }
}

}  // namespace

std::string errorBoxText(std::string_view message) {
    std::string text(message);
    // Message texts are UTF-8: a character beyond ASCII ends in a byte above ".".
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

void reportException(const std::exception_ptr& error) {
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    const std::string text = errorBoxText(messageOf(error));
    desktop().showErrorBox(QApplication::activeWindow(), applicationTitle(),
                           QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace quill
