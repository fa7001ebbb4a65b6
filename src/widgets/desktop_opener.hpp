#pragma once

#include <QString>

#include "widgets/desktop.hpp"

namespace quill {

// Hands a path or address to the desktop's opener (xdg-open) and waits a
// moment for its verdict: an opener that gives up says so at once, one that
// keeps running has started a viewer and counts as opened.
OpenResult runDesktopOpener(const QString& target, const QString& opener = QStringLiteral("xdg-open"));

}  // namespace quill
