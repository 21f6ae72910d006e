#pragma once
// The sign-on dialog: operator, password and branch. It signs on through the
// function it is given and stays open, showing the refusal, until one works
// or the user cancels.
#include "SignOn.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;

namespace host {

class SignOnDialog : public QDialog {
    Q_OBJECT
public:
    using Attempt = std::function<SignOnResult(const SignOnRequest&)>;
    SignOnDialog(Attempt attempt, QWidget* parent);
    // Valid after exec() returned Accepted.
    const SignOnResult& Result() const { return result_; }
    QLineEdit* OperatorEdit() const { return operator_; }
    QLineEdit* PasswordEdit() const { return password_; }
    QLineEdit* BranchEdit() const { return branch_; }
    QLabel* ErrorLabel() const { return error_; }

    void accept() override;

private:
    Attempt attempt_;
    SignOnResult result_;
    QLineEdit* operator_;
    QLineEdit* password_;
    QLineEdit* branch_;
    QLabel* error_;
};

}  // namespace host
