#include "widgets/desktop_open.hpp"

#include "text/quill_error.hpp"

namespace quill {

QString notOpenedLine(const QString& target, const OpenResult& result) {
    QString line = QStringLiteral("\"%1\" kann nicht geöffnet werden").arg(target);
    if (!result.reason.isEmpty()) line += QStringLiteral(": ") + result.reason;
    if (!line.endsWith(u'.')) line += u'.';
    return line;
}

void openOrFail(const QString& target) {
    const OpenResult result = desktop().shellOpen(target);
    if (!result.opened) throw QuillError(notOpenedLine(target, result).toStdString());
}

}  // namespace quill
