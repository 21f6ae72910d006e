#include "qtview/SearchListDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace qtview {

SearchListDialog::SearchListDialog(const SearchListRequest& r, QWidget* parent)
    : QDialog(parent), filter_(new QLineEdit(this)), table_(new QTableWidget(this)) {
    setObjectName("SearchList");
    setWindowTitle(QString::fromStdString(r.Title));
    auto* box = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("&Procurar:"), this);
    label->setBuddy(filter_);
    box->addWidget(label);
    box->addWidget(filter_);
    box->addWidget(table_);
    table_->setColumnCount(static_cast<int>(r.Columns.size()));
    QStringList titles;
    for (auto& c : r.Columns) titles << QString::fromStdString(c.Title.empty() ? c.FieldName : c.Title);
    table_->setHorizontalHeaderLabels(titles);
    table_->setRowCount(static_cast<int>(r.Rows.size()));
    for (size_t i = 0; i < r.Rows.size(); ++i)
        for (size_t j = 0; j < r.Rows[i].size() && j < r.Columns.size(); ++j) {
            auto* item = new QTableWidgetItem(QString::fromStdString(r.Rows[i][j]));
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            table_->setItem(static_cast<int>(i), static_cast<int>(j), item);
        }
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(r.MultiSelect ? QAbstractItemView::MultiSelection : QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->resizeColumnsToContents();
    if (r.CurrentRow >= 0 && r.CurrentRow < table_->rowCount()) table_->selectRow(r.CurrentRow);
    else if (table_->rowCount() > 0) table_->selectRow(0);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    box->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { accept(); });
    connect(filter_, &QLineEdit::textChanged, this, &SearchListDialog::applyFilter);
    resize(560, 380);
    filter_->setFocus();
}

void SearchListDialog::applyFilter(const QString& text) {
    int firstShown = -1;
    for (int i = 0; i < table_->rowCount(); ++i) {
        bool match = text.isEmpty();
        for (int j = 0; !match && j < table_->columnCount(); ++j)
            if (auto* item = table_->item(i, j)) match = item->text().contains(text, Qt::CaseInsensitive);
        table_->setRowHidden(i, !match);
        if (match && firstShown < 0) firstShown = i;
    }
    // The selection follows the filter: hidden rows are never picked.
    auto selected = table_->selectionModel()->selectedRows();
    bool visibleSelection = false;
    for (auto& idx : selected) visibleSelection |= !table_->isRowHidden(idx.row());
    if (!visibleSelection) {
        table_->clearSelection();
        if (firstShown >= 0) table_->selectRow(firstShown);
    }
}

std::vector<int> SearchListDialog::Picked() const {
    std::vector<int> rows;
    for (int i = 0; i < table_->rowCount(); ++i)
        if (!table_->isRowHidden(i) && table_->selectionModel()->isRowSelected(i, {})) rows.push_back(i);
    return rows;
}

}  // namespace qtview
