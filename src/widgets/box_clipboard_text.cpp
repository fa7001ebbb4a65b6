#include "widgets/box_clipboard_text.hpp"

namespace quill {

QString boxClipboardText(const QString& caption, const QString& text, const QStringList& buttonCaptions) {
    const QString divider(27, u'-');
    const QString crLf = QStringLiteral("\r\n");
    QString buttons;
    for (QString button : buttonCaptions) buttons += button.remove(u'&') + QStringLiteral("   ");
    return divider + crLf + caption + crLf + divider + crLf + text + crLf + divider + crLf + buttons + crLf + divider +
           crLf;
}

}  // namespace quill
