#include "app/memo.hpp"

#include <QMimeData>
#include <QTextCursor>

namespace quill {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The editor keeps paragraphs; its raw text separates them by U+2029.
QString rawToCrLf(QString raw) {
    raw.replace(QChar::ParagraphSeparator, kCrLf);
    raw.replace(QChar::LineSeparator, kCrLf);
    return raw;
}

QString toEditorBreaks(const QString& text) {
    QString result = withCrLfBreaks(text);
    result.replace(kCrLf, QStringLiteral("\n"));
    return result;
}

}  // namespace

QString withCrLfBreaks(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            result += kCrLf;
            if (i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
        } else if (c == u'\n') {
            result += kCrLf;
        } else {
            result += c;
        }
    }
    return result;
}

Memo::Memo(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
}

QString Memo::text() const {
    return rawToCrLf(document()->toRawText());
}

void Memo::setText(const QString& text) {
    setPlainText(toEditorBreaks(text));
}

void Memo::addLine(const QString& line) {
    setText(text() + line + kCrLf);
}

QMimeData* Memo::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    data->setText(rawToCrLf(textCursor().selectedText()));
    return data;
}

}  // namespace quill
