// The Qt view of toolkit forms, on a form of the tests' own: widgets follow
// the toolkit, and Qt input reaches the toolkit's rules.
#include "TestForm.h"
#include "qtview/FormView.h"
#include "qtview/GridWidget.h"
#include "qtview/ViewManager.h"
#include "ui/ScriptedDialogs.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QtTest>
#include <memory>

using qtview::FormView;
using qtview::ViewManager;

class QtViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestForm> t;
    std::unique_ptr<ViewManager> views;
    ScriptedDialogs* dialogs{};

    FormView* view() const { return views->ViewOf(t->form); }
    template <class W>
    W* widget(const TControl* c) const {
        return qobject_cast<W*>(view()->WidgetOf(c));
    }
    void showForm() {
        t->form->Show();
        QWidget* w = views->WindowOf(t->form);
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }

private slots:
    void init() {
        Application().Reset();
        auto d = std::make_unique<ScriptedDialogs>();
        dialogs = d.get();
        Application().SetDialogs(std::move(d));
        views = std::make_unique<ViewManager>(nullptr, nullptr);
        views->InstallInputPump();
        t = std::make_unique<TestForm>();
        t->Build();
        showForm();
    }
    void cleanup() {
        Application().Reset();
        views.reset();
        t.reset();
    }

    void propertiesFollowTheToolkit() {
        t->edtA->SetText("abc");
        QCOMPARE(widget<QLineEdit>(t->edtA)->text(), QString("abc"));
        t->edtB->SetEnabled(false);
        QVERIFY(!widget<QLineEdit>(t->edtB)->isEnabled());
        t->panTop->SetEnabled(false);
        QVERIFY(!widget<QLineEdit>(t->edtA)->isEnabled());  // the parent chain counts
        t->panTop->SetEnabled(true);
        t->chbFlag->SetChecked(true);
        QVERIFY(widget<QCheckBox>(t->chbFlag)->isChecked());
        t->btnOk->SetVisible(false);
        QVERIFY(!widget<QPushButton>(t->btnOk)->isVisible());
        t->pgc->SetActivePage(t->tshOther);
        QCOMPARE(view()->findChild<QTabBar*>()->currentIndex(), 1);
        QVERIFY(view()->WidgetOf(t->tshOther)->isVisible());
        QVERIFY(!view()->WidgetOf(t->tshGrid)->isVisible());
        t->tshGrid->SetTabVisible(false);
        QVERIFY(!view()->findChild<QTabBar*>()->isTabVisible(0));
    }

    void userInputReachesTheToolkit() {
        QTest::mouseClick(widget<QCheckBox>(t->chbFlag), Qt::LeftButton);
        QVERIFY(t->chbFlag->Checked());
        QTest::mouseClick(widget<QPushButton>(t->btnOk), Qt::LeftButton);
        QVERIFY(t->log.back() == "click btnOk");
        QCOMPARE(t->form->ActiveControl(), static_cast<TWinControl*>(t->btnOk));
        // Typing goes through the toolkit's editing: the edit upper-cases.
        QTest::mouseClick(widget<QLineEdit>(t->edtB), Qt::LeftButton);
        QCOMPARE(t->form->ActiveControl(), static_cast<TWinControl*>(t->edtB));
        QTest::keyClicks(widget<QLineEdit>(t->edtB), "ab");
        // A letter without a key of its own arrives as text only.
        QKeyEvent cedilla(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("ç"));
        QApplication::sendEvent(widget<QLineEdit>(t->edtB), &cedilla);
        QCOMPARE(t->edtB->Text(), std::string("ABÇ"));
        QCOMPARE(widget<QLineEdit>(t->edtB)->text(), QString("ABÇ"));
        // A key handler of the toolkit sees the key and may discard it.
        t->edtB->OnKeyPress = [](TObject*, char32_t& k) {
            if (k == U'9') k = 0;
        };
        QTest::keyClicks(widget<QLineEdit>(t->edtB), "19");
        QCOMPARE(t->edtB->Text(), std::string("ABÇ1"));
    }

    void tabAndRefusedExitKeepTheToolkitsFocus() {
        t->edtA->UserSetFocus();
        QCOMPARE(QApplication::focusWidget(), view()->WidgetOf(t->edtA));
        QTest::keyClick(widget<QLineEdit>(t->edtA), Qt::Key_Tab);
        QCOMPARE(t->form->ActiveControl(), static_cast<TWinControl*>(t->edtB));
        QCOMPARE(QApplication::focusWidget(), view()->WidgetOf(t->edtB));
        QTest::keyClick(widget<QLineEdit>(t->edtB), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(t->form->ActiveControl(), static_cast<TWinControl*>(t->edtA));
        // The exit handler refuses: the toolkit keeps the focus and so does Qt.
        QTest::keyClicks(widget<QLineEdit>(t->edtA), "X");
        QTest::keyClick(widget<QLineEdit>(t->edtA), Qt::Key_Tab);
        QCOMPARE(t->form->ActiveControl(), static_cast<TWinControl*>(t->edtA));
        QCOMPARE(QApplication::focusWidget(), view()->WidgetOf(t->edtA));
        QVERIFY(dialogs->TranscriptText().find("Código inválido.") != std::string::npos);
        // A click elsewhere is refused the same way.
        QTest::mouseClick(widget<QLineEdit>(t->edtB), Qt::LeftButton);
        QCOMPARE(t->form->ActiveControl(), static_cast<TWinControl*>(t->edtA));
        QCOMPARE(QApplication::focusWidget(), view()->WidgetOf(t->edtA));
        // Focus moved by code is followed.
        t->edtA->SetText("");
        t->edtB->SetFocus();
        QCOMPARE(QApplication::focusWidget(), view()->WidgetOf(t->edtB));
    }

    void pageChangesAskTheToolkit() {
        QTabBar* tabs = view()->findChild<QTabBar*>();
        t->allowPageChange = false;
        tabs->setCurrentIndex(1);  // as a click does
        QCOMPARE(t->pgc->ActivePage(), t->tshGrid);
        QCOMPARE(tabs->currentIndex(), 0);
        t->allowPageChange = true;
        tabs->setCurrentIndex(1);
        QCOMPARE(t->pgc->ActivePage(), t->tshOther);
        QVERIFY(view()->WidgetOf(t->edtOther)->isVisible());
    }

    void gridKeysReachTheColumnExit() {
        auto* g = qobject_cast<qtview::GridWidget*>(view()->WidgetOf(t->grid));
        QRect cell = g->CellRect(2, 0);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(t->form->ActiveControl(), static_cast<TWinControl*>(t->grid));
        QCOMPARE(t->cds.CurrentRow(), 2);
        QTest::keyClicks(g, "Z");
        QVERIFY(t->grid->EditorMode());
        QTest::keyClick(g, Qt::Key_Tab);
        QCOMPARE(t->log.back(), std::string("colexit CODE"));
        QCOMPARE(t->cds.FieldByName("CODE").AsString(), std::string("Z"));
        QCOMPARE(t->grid->SelectedIndex(), 1);
        QTest::keyClick(g, Qt::Key_Up);
        QCOMPARE(t->cds.CurrentRow(), 1);
    }

    void cursorLocksAndClosingFollowTheToolkit() {
        Application().SetCursor(TCursor::crHourGlass);
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        Application().SetCursor(TCursor::crDefault);
        QVERIFY(!QApplication::overrideCursor());
        Application().LockWindowUpdate(t->form);
        QVERIFY(!views->WindowOf(t->form)->updatesEnabled());
        Application().LockWindowUpdate(nullptr);
        QVERIFY(views->WindowOf(t->form)->updatesEnabled());
        // The close button asks the form, which may refuse.
        bool canClose = false;
        t->form->OnCloseQuery = [&](TObject*, bool& can) { can = canClose; };
        views->WindowOf(t->form)->close();
        QVERIFY(t->form->Visible());
        canClose = true;
        t->form->OnClose = [](TObject*, TCloseAction& a) { a = TCloseAction::caFree; };
        views->WindowOf(t->form)->close();
        QCoreApplication::processEvents();
        QVERIFY(views->ViewOf(t->form) == nullptr);  // the form is gone, and its window
        t->form = nullptr;
    }
};

QTEST_MAIN(QtViewTest)
#include "QtViewTest.moc"
