#include "widgets/desktop.hpp"

#include "widgets/qt_desktop.hpp"

namespace quill {

namespace {
std::unique_ptr<Desktop>& current() {
    static std::unique_ptr<Desktop> installed;
    return installed;
}
}  // namespace

Desktop& desktop() {
    auto& installed = current();
    if (!installed) installed = std::make_unique<QtDesktop>();
    return *installed;
}

std::unique_ptr<Desktop> installDesktop(std::unique_ptr<Desktop> replacement) {
    auto previous = std::move(current());
    current() = std::move(replacement);
    return previous;
}

}  // namespace quill
