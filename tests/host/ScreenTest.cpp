// The withdrawal screen in the desktop host: opened from its package over an
// embedded server, driven with Qt input only.
#include "EmbeddedServer.h"
#include "MainWindow.h"
#include "ScreenModule.h"
#include "SignOn.h"
#include "db/ConnectionUrl.h"
#include "db/LocalConnection.h"
#include "qtview/FormView.h"
#include "qtview/GridWidget.h"
#include "qtview/ViewManager.h"
#include "ui/Application.h"
#include "ui/DBGrid.h"
#include "ui/Form.h"
#include "ui/ScriptedDialogs.h"
#include "ui/StdCtrls.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <memory>

class ScreenTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<host::EmbeddedServer> server;
    std::unique_ptr<host::ScreenModule> module;
    std::unique_ptr<host::MainWindow> window;
    std::unique_ptr<qtview::ViewManager> views;
    ScriptedDialogs* dialogs{};

    TForm* screen() const { return Application().FindComponent("frmRetirada") ? dynamic_cast<TForm*>(Application().FindComponent("frmRetirada")) : nullptr; }

private slots:
    void initTestCase() {
        module = std::make_unique<host::ScreenModule>(PLA_SCREEN_MODULE);
        if (!std::filesystem::exists(module->Path())) QSKIP("the screen package is not built");
        server = std::make_unique<host::EmbeddedServer>(dir.filePath("demo.db").toStdString());
        db::SetLocalConnection(std::shared_ptr<db::SqlConnection>(db::OpenConnection("sqlite:" + server->DbPath())));
        auto d = std::make_unique<ScriptedDialogs>();
        dialogs = d.get();
        Application().SetDialogs(std::move(d));
        Application().CreateForm<TForm>("frmPrincipal")->SetFormStyle(TFormStyle::fsMDIForm);
        window = std::make_unique<host::MainWindow>(*module);
        views = std::make_unique<qtview::ViewManager>(window->Mdi(), window.get());
        views->InstallInputPump();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto who = host::SignOn({"127.0.0.1", server->Port()}, {"DEMO", "demo", "0001"}, *db::LocalConnection());
        window->ShowSignedOn(who);
        QVERIFY(window->StatusText().contains("DEMO"));
        QVERIFY(window->StatusText().contains("0001"));
    }

    void cleanupTestCase() {
        Application().Reset();
        views.reset();
        window.reset();
        db::SetLocalConnection(nullptr);
        server.reset();
    }

    void branchFilterFillsTheBrowseGrid() {
        QVERIFY(window->OpenRetirada());
        TForm* form = screen();
        QVERIFY(form);
        auto* sub = qobject_cast<QMdiSubWindow*>(views->WindowOf(form));
        QVERIFY(sub);  // a child of the MDI area
        QVERIFY(sub->isVisible());
        qtview::FormView* view = views->ViewOf(form);
        auto* branch = form->Find<TCustomEdit>("medCdFilial");
        QVERIFY(branch);
        auto* edit = qobject_cast<QLineEdit*>(view->WidgetOf(branch));
        QVERIFY(edit && edit->isVisible());
        // Type the branch over what is there, then leave the panel with Tab.
        QTest::mouseClick(edit, Qt::LeftButton);
        QCOMPARE(form->ActiveControl(), static_cast<TWinControl*>(branch));
        for (int i = 0; i < 6; ++i) QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, "0001");
        QCOMPARE(QString::fromStdString(branch->Text()).trimmed(), QString("0001"));
        QCOMPARE(edit->text().trimmed(), QString("0001"));

        TForm* filter = nullptr;
        bool filterWindowShown = false;
        QTimer::singleShot(200, this, [&] {
            filter = Application().ActiveForm();
            if (!filter || !filter->Modal()) return;
            QWidget* w = views->WindowOf(filter);
            filterWindowShown = w && w->isVisible() && w->isModal();
            // Confirm as the user does: a click on the dialog's confirm button.
            auto* confirm = filter->Find<TControl>("sbtConfirma");
            QWidget* button = confirm ? views->ViewOf(filter)->WidgetOf(confirm) : nullptr;
            if (button) QTest::mouseClick(button, Qt::LeftButton);
            // Never leave the test waiting in the dialog.
            if (filter->Visible()) filter->SetModalResult(mrCancel);
        });
        QTest::keyClick(edit, Qt::Key_Tab);
        QVERIFY2(filter && filter != form, "the filter dialog did not open");
        QVERIFY(filterWindowShown);
        QVERIFY(!filter->Visible());
        QVERIFY2(dialogs->TranscriptText().find("ErrorBox") == std::string::npos, dialogs->TranscriptText().c_str());

        auto* grid = form->Find<TDBGrid>("dbgPadrao");
        QVERIFY(grid);
        QVERIFY(grid->RowCount() > 0);
        auto* gw = qobject_cast<qtview::GridWidget*>(view->WidgetOf(grid));
        QVERIFY(gw && gw->isVisible());
        QVERIFY(!gw->CellRect(0, grid->SelectedIndex()).isEmpty());
    }
};

QTEST_MAIN(ScreenTest)
#include "ScreenTest.moc"
