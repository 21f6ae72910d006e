#pragma once
// The find dialog: the column to search and the text to look for.
#include "ui/Dialogs.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QLineEdit;

namespace qtview {

class FindDialog : public QDialog {
    Q_OBJECT
public:
    FindDialog(const FindRequest& request, QWidget* parent);
    FindAnswer Answer() const;
    QComboBox* Column() const { return column_; }
    QLineEdit* Text() const { return text_; }

private:
    FindRequest request_;
    QComboBox* column_;
    QLineEdit* text_;
};

}  // namespace qtview
