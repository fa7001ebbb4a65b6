#include "widgets/full_list_dialog.hpp"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quill {

FullListDialog::FullListDialog(const QString& caption, const QString& lines, QWidget* parent)
    : QDialog(parent), text_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("Liste"));
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    text_->setObjectName(QStringLiteral("Liste_Text"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setPlainText(lines);
    text_->selectAll();
    layout->addWidget(text_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole)->setObjectName("Schliessen");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    text_->setFocus();
    resize(560, 360);
}

}  // namespace quill
