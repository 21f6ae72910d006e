#include "qtview/QtDialogs.h"

#include "qtview/FindDialog.h"
#include "qtview/ProgressNote.h"
#include "qtview/SearchListDialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace qtview {

QString ButtonText(TMsgDlgBtn b) {
    switch (b) {
        case TMsgDlgBtn::mbYes: return QStringLiteral("&Sim");
        case TMsgDlgBtn::mbNo: return QStringLiteral("&Não");
        case TMsgDlgBtn::mbOK: return QStringLiteral("OK");
        case TMsgDlgBtn::mbCancel: return QStringLiteral("Cancelar");
        case TMsgDlgBtn::mbAbort: return QStringLiteral("&Abortar");
        case TMsgDlgBtn::mbRetry: return QStringLiteral("&Repetir");
        case TMsgDlgBtn::mbIgnore: return QStringLiteral("&Ignorar");
        case TMsgDlgBtn::mbAll: return QStringLiteral("&Todos");
        case TMsgDlgBtn::mbNoToAll: return QStringLiteral("Não para todos");
        case TMsgDlgBtn::mbYesToAll: return QStringLiteral("Sim para todos");
        case TMsgDlgBtn::mbHelp: return QStringLiteral("&Ajuda");
    }
    return {};
}

QString DialogTitle(TMsgDlgType t) {
    switch (t) {
        case TMsgDlgType::mtWarning: return QStringLiteral("Aviso");
        case TMsgDlgType::mtError: return QStringLiteral("Erro");
        case TMsgDlgType::mtInformation: return QStringLiteral("Informação");
        case TMsgDlgType::mtConfirmation: return QStringLiteral("Confirmação");
        case TMsgDlgType::mtCustom: break;
    }
    return QApplication::applicationDisplayName();
}

namespace {

QMessageBox::Icon iconOf(TMsgDlgType t) {
    switch (t) {
        case TMsgDlgType::mtWarning: return QMessageBox::Warning;
        case TMsgDlgType::mtError: return QMessageBox::Critical;
        case TMsgDlgType::mtInformation: return QMessageBox::Information;
        case TMsgDlgType::mtConfirmation: return QMessageBox::Question;
        case TMsgDlgType::mtCustom: break;
    }
    return QMessageBox::NoIcon;
}

bool cancels(TMsgDlgBtn b) { return b == TMsgDlgBtn::mbCancel || b == TMsgDlgBtn::mbNo || b == TMsgDlgBtn::mbAbort; }

}  // namespace

QtDialogs::QtDialogs(QWidget* fallbackParent) : fallback_(fallbackParent) {}

QtDialogs::~QtDialogs() { delete note_.data(); }

QWidget* QtDialogs::parent() const {
    if (QWidget* m = QApplication::activeModalWidget()) return m;
    if (QWidget* a = QApplication::activeWindow(); a && a != note_.data()) return a;
    return fallback_;
}

int QtDialogs::MessageBox(const std::string& text, TMsgDlgType type, const TMsgDlgButtons& buttons, int) {
    QMessageBox box(iconOf(type), DialogTitle(type), QString::fromStdString(text), QMessageBox::NoButton, parent());
    box.setObjectName("MessageBox");
    TMsgDlgButtons list = buttons.empty() ? TMsgDlgButtons{TMsgDlgBtn::mbOK} : buttons;
    std::vector<std::pair<QAbstractButton*, TMsgDlgBtn>> made;
    QPushButton* escape = nullptr;
    for (TMsgDlgBtn b : list) {
        QPushButton* pb = box.addButton(ButtonText(b), cancels(b) ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        made.push_back({pb, b});
        if (!escape && cancels(b)) escape = pb;
    }
    box.setDefaultButton(static_cast<QPushButton*>(made.front().first));
    box.setEscapeButton(escape ? escape : static_cast<QPushButton*>(made.back().first));
    box.exec();
    for (auto& [button, which] : made)
        if (box.clickedButton() == button) return ButtonResult(which);
    return escape ? mrCancel : ButtonResult(list.front());
}

void QtDialogs::ErrorBox(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, DialogTitle(TMsgDlgType::mtError), QString::fromStdString(text),
                    QMessageBox::NoButton, parent());
    box.setObjectName("ErrorBox");
    box.addButton(ButtonText(TMsgDlgBtn::mbOK), QMessageBox::AcceptRole);
    box.exec();
}

int QtDialogs::OptionDialog(const std::string& text, TMsgDlgType type, const std::vector<std::string>& captions, int) {
    QMessageBox box(iconOf(type), DialogTitle(type), QString::fromStdString(text), QMessageBox::NoButton, parent());
    box.setObjectName("OptionDialog");
    std::vector<QAbstractButton*> made;
    for (auto& c : captions) made.push_back(box.addButton(QString::fromStdString(c), QMessageBox::ActionRole));
    if (!made.empty()) {
        box.setDefaultButton(static_cast<QPushButton*>(made.front()));
        // Esc and the close button answer as the first option, as the interface says.
        box.setEscapeButton(made.front());
    }
    box.exec();
    for (size_t i = 0; i < made.size(); ++i)
        if (box.clickedButton() == made[i]) return 10 + static_cast<int>(i);
    return 10;  // closed without a button: the first option, as the interface says
}

void QtDialogs::ShowProgress(int kind, const std::string& text) {
    if (!note_) note_ = new ProgressNote(fallback_ ? fallback_.data() : parent());
    note_->ShowNote(kind, QString::fromStdString(text));
}

void QtDialogs::HideProgress() {
    if (note_) note_->hide();
}

QWidget* QtDialogs::ProgressWidget() const { return note_ && note_->isVisible() ? note_.data() : nullptr; }

std::vector<int> QtDialogs::SearchList(const SearchListRequest& request) {
    SearchListDialog dlg(request, parent());
    if (dlg.exec() != QDialog::Accepted) return {};
    return dlg.Picked();
}

std::optional<FindAnswer> QtDialogs::Find(const FindRequest& request) {
    FindDialog dlg(request, parent());
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.Answer();
}

}  // namespace qtview
