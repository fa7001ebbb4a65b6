#include "app/single_line_validator.hpp"

namespace quill {

QValidator::State SingleLineValidator::validate(QString& input, int& position) const {
    qsizetype lineBreak = -1;
    for (qsizetype i = 0; i < input.size(); ++i) {
        if (input.at(i) == u'\r' || input.at(i) == u'\n') {
            lineBreak = i;
            break;
        }
    }
    if (lineBreak < 0) return Acceptable;
    // The field never holds a line break, so every one came with the text
    // just inserted, which ends at the cursor.
    const qsizetype insertedEnd = position > lineBreak ? position : input.size();
    input.remove(lineBreak, insertedEnd - lineBreak);
    if (position > lineBreak) position = static_cast<int>(lineBreak);
    return Acceptable;
}

}  // namespace quill
