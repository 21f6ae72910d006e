#pragma once
// The host's main window: the MDI area the screens open in, the menu
// "Planejamento" with "Retirada (Planejamento)", and a status bar with the
// operator, the branch and its processing date.
#include "SignOn.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMdiArea;

namespace host {

class ScreenModule;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(ScreenModule& module);
    QMdiArea* Mdi() const { return mdi_; }
    QAction* RetiradaAction() const { return retirada_; }
    // The status bar shows who signed on, where, and the processing date.
    void ShowSignedOn(const SignOnResult& who);
    QString StatusText() const;
    // Loads the package and calls its IniProc; errors reach the user as an
    // error box. False when the screen could not be opened.
    bool OpenRetirada();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ScreenModule& module_;
    QMdiArea* mdi_;
    QAction* retirada_;
    QLabel* operator_;
    QLabel* branch_;
    QLabel* date_;
};

}  // namespace host
