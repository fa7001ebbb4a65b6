#pragma once

#include <QListWidget>

#include "text/string_list.hpp"

namespace quill {

// A list box with rows of a fixed height (13 pixels, as the window
// definitions give them).
class ListBox : public QListWidget {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent = nullptr);

    // The entries as code page 1252 texts, in list order.
    StringList entries() const;
    void setEntries(const StringList& entries);
    void addEntry(const std::string& entry);

private:
    int itemHeight_ = 13;
};

}  // namespace quill
