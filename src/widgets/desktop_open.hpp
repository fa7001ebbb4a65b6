#pragma once

#include <QString>

#include "widgets/desktop.hpp"

namespace quill {

// One line for a target the desktop did not open: the target in full, then
// the reason where the desktop gave one; ends in ".".
QString notOpenedLine(const QString& target, const OpenResult& result);

// Hands the target to the desktop; a refusal ends the handler with an error
// that names the target and the reason.
void openOrFail(const QString& target);

}  // namespace quill
