#pragma once

#include <QString>

namespace quill {

// The title for an executable: its file name without the folder, cut before
// the first ".", every character after the first in lower case.
QString applicationTitleFor(const QString& executablePath);

// The title of the running program (caption of the error box).
QString applicationTitle();

}  // namespace quill
