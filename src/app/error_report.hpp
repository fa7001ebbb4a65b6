#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <utility>

namespace quill {

// The text the error box shows for a message: a final "." is added when the
// message is not empty and its last character's code lies above that of ".".
std::string errorBoxText(std::string_view message);

// Shows an exception in the error box, owned by the active window, after
// releasing any mouse capture.
void reportException(const std::exception_ptr& error);

// Runs a handler; an exception that escapes it ends it and is reported.
template <typename Handler>
void runReporting(Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        reportException(std::current_exception());
    }
}

}  // namespace quill
