#pragma once

#include <QString>
#include <optional>

namespace quill {

// Whether the desktop names an application for the type of the file, asked
// through xdg-mime; nothing when that cannot be told (no xdg-mime, no answer).
std::optional<bool> desktopHandlesFile(const QString& path);

}  // namespace quill
