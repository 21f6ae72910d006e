#include "qtview/FindDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace qtview {

FindDialog::FindDialog(const FindRequest& r, QWidget* parent)
    : QDialog(parent), request_(r), column_(new QComboBox(this)), text_(new QLineEdit(this)) {
    setObjectName("FindDialog");
    setWindowTitle(QString::fromStdString(r.Title.empty() ? "Procurar" : r.Title));
    auto* form = new QFormLayout(this);
    for (auto& c : r.Columns) column_->addItem(QString::fromStdString(c.Title.empty() ? c.FieldName : c.Title));
    form->addRow(QStringLiteral("&Campo:"), column_);
    form->addRow(QStringLiteral("&Texto:"), text_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    text_->setFocus();
}

FindAnswer FindDialog::Answer() const {
    FindAnswer a;
    int i = column_->currentIndex();
    if (i >= 0 && i < static_cast<int>(request_.Columns.size())) a.FieldName = request_.Columns[static_cast<size_t>(i)].FieldName;
    a.Text = text_->text().toStdString();
    return a;
}

}  // namespace qtview
