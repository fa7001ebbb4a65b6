#include "app/preview_dialog.hpp"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "widgets/qt_text.hpp"

namespace quill {

PreviewDialog::PreviewDialog(std::vector<PreviewFile> files, QWidget* parent)
    : QDialog(parent), changed_(std::move(files)), files_(new QListWidget(this)), lines_(new QTableWidget(this)) {
    setObjectName(QStringLiteral("Vorschau_Dialog"));
    setWindowTitle(QStringLiteral("Änderungen vor dem Kodieren"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("%1 Dateien würden geändert. Die Zeilen stehen so da, wie ein Leser sie sieht; "
                                  "nach dem Kodieren liest sie ein Adresssammler nicht mehr.")
                       .arg(changed_.size()),
                   this));
    files_->setObjectName(QStringLiteral("Vorschau_Dateien"));
    for (const PreviewFile& file : changed_)
        files_->addItem(QStringLiteral("%1 (%2 Stellen)").arg(displayText(file.path)).arg(file.places));
    lines_->setObjectName(QStringLiteral("Vorschau_Zeilen"));
    lines_->setColumnCount(3);
    lines_->setHorizontalHeaderLabels({QStringLiteral("Zeile"), QStringLiteral("Vorher"), QStringLiteral("Nachher")});
    lines_->verticalHeader()->hide();
    lines_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lines_->setWordWrap(true);
    lines_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    lines_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    lines_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(files_);
    split->addWidget(lines_);
    layout->addWidget(split);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Kodieren"), QDialogButtonBox::AcceptRole)->setObjectName("Kodieren");
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole)->setObjectName("Abbrechen");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(files_, &QListWidget::currentRowChanged, this, &PreviewDialog::showFile);
    if (!changed_.empty()) files_->setCurrentRow(0);
    resize(640, 420);
}

void PreviewDialog::showFile(int row) {
    lines_->setRowCount(0);
    if (row < 0 || row >= static_cast<int>(changed_.size())) return;
    const PreviewFile& file = changed_[static_cast<std::size_t>(row)];
    const std::vector<ChangedLines> changes = changedLines(file.before, file.after);
    lines_->setRowCount(static_cast<int>(changes.size()));
    for (int i = 0; i < static_cast<int>(changes.size()); ++i) {
        const ChangedLines& change = changes[static_cast<std::size_t>(i)];
        lines_->setItem(i, 0, new QTableWidgetItem(QString::number(change.line)));
        lines_->setItem(i, 1, new QTableWidgetItem(QString::fromStdString(change.before)));
        lines_->setItem(i, 2, new QTableWidgetItem(QString::fromStdString(change.after)));
    }
    lines_->resizeRowsToContents();
}

}  // namespace quill
