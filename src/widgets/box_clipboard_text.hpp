#pragma once

#include <QString>
#include <QStringList>

namespace quill {

// What Ctrl+C puts on the clipboard from a message or error box: a divider,
// the caption, a divider, the text, a divider, the button captions (each
// followed by three blanks, "&" removed), a divider; every piece ends in CR LF.
QString boxClipboardText(const QString& caption, const QString& text, const QStringList& buttonCaptions);

}  // namespace quill
