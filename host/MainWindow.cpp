#include "MainWindow.h"

#include "ScreenModule.h"
#include "core/ScopeGuard.h"
#include "ui/Application.h"
#include "ui/Form.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <cstdio>
#include <set>

namespace host {

MainWindow::MainWindow(ScreenModule& module)
    : module_(module),
      mdi_(new QMdiArea(this)),
      operator_(new QLabel(this)),
      branch_(new QLabel(this)),
      date_(new QLabel(this)) {
    setObjectName("frmPrincipal");
    setWindowTitle(QStringLiteral("Planejamento"));
    mdi_->setObjectName("mdiArea");
    setCentralWidget(mdi_);
    QMenu* plan = menuBar()->addMenu(QStringLiteral("&Planejamento"));
    retirada_ = plan->addAction(QStringLiteral("Retirada (Planejamento)"));
    retirada_->setObjectName("mnuRetirada");
    retirada_->setEnabled(false);  // until someone signs on
    connect(retirada_, &QAction::triggered, this, &MainWindow::OpenRetirada);
    plan->addSeparator();
    plan->addAction(QStringLiteral("Sai&r"), this, &QWidget::close);
    QMenu* win = menuBar()->addMenu(QStringLiteral("&Janela"));
    win->addAction(QStringLiteral("&Cascata"), mdi_, &QMdiArea::cascadeSubWindows);
    win->addAction(QStringLiteral("&Lado a lado"), mdi_, &QMdiArea::tileSubWindows);
    statusBar()->addWidget(operator_);
    statusBar()->addWidget(branch_);
    statusBar()->addWidget(date_);
    resize(1100, 760);
}

void MainWindow::ShowSignedOn(const SignOnResult& who) {
    operator_->setText(QStringLiteral("Operador: ") + QString::fromStdString(who.Operator));
    branch_->setText(QStringLiteral("Filial: ") + QString::fromStdString(who.Branch) +
                     (who.BranchName.empty() ? QString() : " - " + QString::fromStdString(who.BranchName)));
    date_->setText(QStringLiteral("Data de processamento: ") + QString::fromStdString(DateToStr(who.DataProc)));
    retirada_->setEnabled(true);
}

QString MainWindow::StatusText() const {
    return operator_->text() + " | " + branch_->text() + " | " + date_->text();
}

bool MainWindow::OpenRetirada() {
    // The entry runs as a user's action: its exceptions reach the error box.
    bool failed = false;
    try {
        Application().RunUserAction([&] {
            TScopeFailure falhou([&] { failed = true; });
            module_.IniProc();
        });
    } catch (const EScriptFailure& e) {
        // Input ended inside a modal form: the application is closing.
        std::fprintf(stderr, "pla-host: %s\n", e.what());
        failed = true;
    }
    return !failed;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The screens are asked first, as their own close buttons would; one that
    // refuses keeps the application open.
    std::set<const TForm*> asked;
    for (;;) {
        TForm* next = nullptr;
        for (TForm* f : Application().ShowingForms())
            if (f->Visible() && !f->Modal() && !asked.count(f)) {
                next = f;
                break;
            }
        if (!next) break;
        asked.insert(next);
        next->UserClose();  // may destroy forms: the list is read again
    }
    for (TForm* f : Application().ShowingForms())
        if (f->Visible()) {
            event->ignore();
            return;
        }
    event->accept();
}

}  // namespace host
