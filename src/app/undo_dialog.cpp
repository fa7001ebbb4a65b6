#include "app/undo_dialog.hpp"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "widgets/qt_text.hpp"

namespace quill {

QString runDateText(const std::string& name) {
    const QString text = QString::fromStdString(name);
    if (text.size() < 19 || text[10] != u'_') return text;
    return text.mid(8, 2) + u'.' + text.mid(5, 2) + u'.' + text.left(4) + u' ' + text.mid(11, 2) + u':' +
           text.mid(14, 2) + u':' + text.mid(17, 2) + text.mid(19);
}

UndoDialog::UndoDialog(std::vector<KeptRun> runs, QWidget* parent)
    : QDialog(parent), runs_(std::move(runs)), list_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("Rueckgaengig_Dialog"));
    setWindowTitle(QStringLiteral("Rückgängig machen"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Gesicherte Läufe. Eine Datei wird nur wiederhergestellt, wenn sie "
                                                "noch genau so ist, wie der Lauf sie geschrieben hat."),
                                 this));
    list_->setObjectName(QStringLiteral("Laeufe"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels(
        {QStringLiteral("Datum"), QStringLiteral("Art"), QStringLiteral("Ort"), QStringLiteral("Dateien")});
    for (const KeptRun& run : runs_) {
        QString place = displayText(run.place);
        if (run.kind == RunKind::Remote) place += u' ' + displayText(run.serverFolder);
        auto* item = new QTreeWidgetItem(
            list_, {runDateText(run.name) + (run.undone ? QStringLiteral(" (rückgängig gemacht)") : QString()),
                    run.kind == RunKind::Remote ? QStringLiteral("FTP") : QStringLiteral("lokal"), place,
                    QString::number(run.files.size())});
        item->setToolTip(2, place);
    }
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (!runs_.empty()) list_->setCurrentItem(list_->topLevelItem(0));
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(this);
    auto* undo = buttons->addButton(QStringLiteral("Rückgängig machen"), QDialogButtonBox::AcceptRole);
    undo->setObjectName(QStringLiteral("Rueckgaengig_machen"));
    undo->setEnabled(!runs_.empty());
    buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole)->setObjectName("Schliessen");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(560, 300);
}

std::optional<KeptRun> UndoDialog::chosen() const {
    if (result() != QDialog::Accepted) return std::nullopt;
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0 || row >= static_cast<int>(runs_.size())) return std::nullopt;
    return runs_[static_cast<std::size_t>(row)];
}

}  // namespace quill
