#pragma once

#include <QValidator>

namespace quill {

// Keeps a typed field on one line, as a desktop single-line edit does: of a
// pasted or dropped text only its first line goes in, and the text after the
// cursor stays. (A line break would otherwise end up inside an encoded
// address and split a line of the settings file.)
class SingleLineValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override;
};

}  // namespace quill
