#include "SignOnDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <exception>

namespace host {

SignOnDialog::SignOnDialog(Attempt attempt, QWidget* parent)
    : QDialog(parent),
      attempt_(std::move(attempt)),
      operator_(new QLineEdit(this)),
      password_(new QLineEdit(this)),
      branch_(new QLineEdit(this)),
      error_(new QLabel(this)) {
    setObjectName("SignOnDialog");
    setWindowTitle(QStringLiteral("Entrada no sistema"));
    operator_->setObjectName("edtOperador");
    password_->setObjectName("edtSenha");
    branch_->setObjectName("edtFilial");
    password_->setEchoMode(QLineEdit::Password);
    operator_->setMaxLength(10);
    branch_->setMaxLength(4);
    error_->setStyleSheet("color: #b00000");
    error_->setWordWrap(true);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Operador:"), operator_);
    form->addRow(QStringLiteral("&Senha:"), password_);
    form->addRow(QStringLiteral("&Filial:"), branch_);
    form->addRow(error_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Entrar"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SignOnDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void SignOnDialog::accept() {
    SignOnRequest req{operator_->text().toStdString(), password_->text().toStdString(), branch_->text().toStdString()};
    try {
        result_ = attempt_(req);
    } catch (const std::exception& e) {
        // Nothing typed is lost: the user corrects and tries again.
        error_->setText(QString::fromStdString(e.what()));
        password_->selectAll();
        return;
    }
    error_->clear();
    QDialog::accept();
}

}  // namespace host
