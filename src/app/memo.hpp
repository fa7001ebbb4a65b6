#pragma once

#include <QPlainTextEdit>

namespace quill {

// A multi-line edit whose text, like a desktop memo's, has CR LF between its
// lines: a text ending in a line break shows an empty last line. What it
// puts on the clipboard has CR LF line breaks too. Tab moves the focus.
class Memo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Memo(QWidget* parent = nullptr);

    // The whole text with CR LF line breaks.
    QString text() const;
    // Every CR LF, lone CR and lone LF becomes a line break.
    void setText(const QString& text);
    // Appends a line as a memo does: the text then ends in CR LF.
    void addLine(const QString& line);

protected:
    QMimeData* createMimeDataFromSelection() const override;
};

// CR LF, lone CR and lone LF as CR LF.
QString withCrLfBreaks(const QString& text);

}  // namespace quill
