#include "app/list_box.hpp"

#include <QStyledItemDelegate>

#include "widgets/qt_text.hpp"

namespace quill {

namespace {

class FixedHeightDelegate : public QStyledItemDelegate {
public:
    FixedHeightDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
    }

private:
    int height_;
};

}  // namespace

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new FixedHeightDelegate(itemHeight_, this));
    setUniformItemSizes(true);
}

StringList ListBox::entries() const {
    StringList result;
    result.reserve(static_cast<std::size_t>(count()));
    for (int row = 0; row < count(); ++row) result.push_back(toCp1252(item(row)->text()));
    return result;
}

void ListBox::setEntries(const StringList& entries) {
    clear();
    for (const std::string& entry : entries) addEntry(entry);
}

void ListBox::addEntry(const std::string& entry) {
    addItem(fromCp1252(entry));
}

}  // namespace quill
