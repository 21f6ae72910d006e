#pragma once
// A search list: the rows in a table, a filter line that keeps the rows with
// the typed text in any column (without regard to case), OK and Cancel.
// Enter or a double click takes the current row.
#include "ui/Dialogs.h"

#include <QDialog>
#include <vector>

class QLineEdit;
class QTableWidget;

namespace qtview {

class SearchListDialog : public QDialog {
    Q_OBJECT
public:
    SearchListDialog(const SearchListRequest& request, QWidget* parent);
    // Indexes (into the request's rows) of the rows picked, in row order.
    std::vector<int> Picked() const;
    QLineEdit* Filter() const { return filter_; }
    QTableWidget* Table() const { return table_; }

private:
    void applyFilter(const QString& text);
    QLineEdit* filter_;
    QTableWidget* table_;
};

}  // namespace qtview
