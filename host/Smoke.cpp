#include "Smoke.h"

#include "MainWindow.h"
#include "SignOn.h"
#include "qtview/ViewManager.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <set>

namespace host {

namespace {

// Clicks the default button of a modal form, or presses Enter when it has none.
void confirm(TForm& form) {
    std::function<TButton*(TComponent&)> find = [&](TComponent& c) -> TButton* {
        for (int i = 0; i < c.ComponentCount(); ++i) {
            TComponent* k = c.Components(i);
            if (auto* b = dynamic_cast<TButton*>(k); b && b->Default && b->Showing() && b->EnabledChain()) return b;
            if (auto* b = find(*k)) return b;
        }
        return nullptr;
    };
    if (TButton* b = find(form)) b->UserClick();
    // The suite's base dialogs confirm with their speed button.
    else if (auto* sbt = form.Find<TControl>("sbtConfirma"); sbt && sbt->Showing()) sbt->UserClick();
    else form.UserKeyDown(VK_RETURN);
}

void finish(MainWindow& w, const std::string& file, const char* how) {
    // A modal form still open gives up its wait, so that the program can end.
    qtview::ViewManager::StopInputPump();
    QApplication::processEvents();
    bool ok = w.grab().save(QString::fromStdString(file), "PNG");
    std::fprintf(stderr, "pla-host: smoke %s; %s %s\n", how, ok ? "picture written to" : "could not write", file.c_str());
    QApplication::exit(ok ? 0 : 1);
}

}  // namespace

void StartSmoke(MainWindow& w, SmokeSteps steps) {
    auto s = std::make_shared<SmokeSteps>(std::move(steps));
    // Every modal form that opens meanwhile is confirmed once, shortly after it shows.
    auto confirmer = new QTimer(&w);
    auto confirmed = std::make_shared<std::set<const TForm*>>();
    QObject::connect(confirmer, &QTimer::timeout, &w, [confirmed] {
        // A message box would wait for a person: report it and take its default answer.
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "pla-host: smoke answers \"%s\"\n", box->text().toStdString().c_str());
            QAbstractButton* b = box->defaultButton();
            if (!b) b = box->escapeButton();
            if (b) b->click();
            else box->done(0);
            return;
        }
        TForm* f = Application().ActiveForm();
        if (!f || !f->Modal() || !f->Visible() || confirmed->count(f)) return;
        confirmed->insert(f);
        std::fprintf(stderr, "pla-host: smoke confirms %s\n", f->Name().c_str());
        confirm(*f);
    });
    confirmer->start(400);
    QTimer::singleShot(s->TimeoutMs, &w, [&w, s] { finish(w, s->Screenshot, "timed out"); });
    QTimer::singleShot(0, &w, [&w, s] {
        try {
            w.ShowSignedOn(s->SignOn());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "pla-host: smoke sign-on failed: %s\n", e.what());
            QApplication::exit(1);
            return;
        }
        if (!w.OpenRetirada()) {
            std::fprintf(stderr, "pla-host: smoke could not open the screen\n");
            QApplication::exit(1);
            return;
        }
        // Leave the panel that has the focus: the screen then asks for its filter.
        QTimer::singleShot(300, &w, [&w, s] {
            if (TForm* f = Application().ActiveForm()) {
                if (TWinControl* c = f->ActiveControl()) c->UserKeyDown(VK_TAB);
            }
            QTimer::singleShot(800, &w, [&w, s] { finish(w, s->Screenshot, "done"); });
        });
    });
}

}  // namespace host
