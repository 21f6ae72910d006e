// The Qt dialog service, answered the way a user answers it, and the
// translation of Qt keys and pictures the view relies on.
#include "qtview/KeyMap.h"
#include "qtview/Pictures.h"
#include "qtview/QtDialogs.h"
#include "qtview/SearchListDialog.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

// Runs `act` on the modal dialog once it shows (the caller then blocks in exec).
void whenModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start();
}

QAbstractButton* buttonWithText(QWidget* w, const QString& text) {
    for (auto* b : w->findChildren<QAbstractButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void messageBoxesGiveTheButtonsResult() {
        qtview::QtDialogs d;
        QString shownText;
        whenModal([&](QWidget* w) {
            shownText = qobject_cast<QMessageBox*>(w)->text();
            buttonWithText(w, "&Não")->click();
        });
        int r = d.MessageBox("Confirma operação?", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0);
        QCOMPARE(r, mrNo);
        QCOMPARE(shownText, QString("Confirma operação?"));
        whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });  // Enter takes the first button
        QCOMPARE(d.MessageBox("x", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0), mrYes);
        whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });   // Esc the cancelling one
        QCOMPARE(d.MessageBox("x", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0), mrNo);
        whenModal([](QWidget* w) { buttonWithText(w, "OK")->click(); });
        QCOMPARE(d.MessageBox("Aviso", TMsgDlgType::mtInformation, {}, 0), mrOk);
        bool errorShown = false;
        whenModal([&](QWidget* w) {
            errorShown = w->objectName() == "ErrorBox" && qobject_cast<QMessageBox*>(w)->text() == "Falhou.";
            buttonWithText(w, "OK")->click();
        });
        d.ErrorBox("Falhou.");
        QVERIFY(errorShown);
    }

    void optionDialogAnswersByPosition() {
        qtview::QtDialogs d;
        QStringList captions;
        whenModal([&](QWidget* w) {
            for (auto* b : w->findChildren<QPushButton*>()) captions << b->text();
            buttonWithText(w, "Grava")->click();
        });
        QCOMPARE(d.OptionDialog("Escolha", TMsgDlgType::mtConfirmation, {"Valida", "Grava", "Cancela"}, 1), 11);
        QVERIFY(captions.contains("Valida") && captions.contains("Cancela"));
        whenModal([](QWidget* w) { buttonWithText(w, "Cancela")->click(); });
        QCOMPARE(d.OptionDialog("Escolha", TMsgDlgType::mtConfirmation, {"Valida", "Grava", "Cancela"}, 1), 12);
        whenModal([](QWidget* w) { w->close(); });
        QCOMPARE(d.OptionDialog("Escolha", TMsgDlgType::mtInformation, {"Sim", "Não"}, 2), 10);
    }

    void searchListFiltersAndPicksTheOriginalRow() {
        SearchListRequest req{"Produto", {{"CDPRODUTO", "Código"}, {"NMPRODUTO", "Nome"}},
                              {{"0101001", "ARROZ"}, {"0102001", "FEIJÃO PRETO"}, {"0103001", "FEIJÃO CARIOCA"}}, false, 0};
        qtview::QtDialogs d;
        whenModal([](QWidget* w) {
            auto* dlg = qobject_cast<qtview::SearchListDialog*>(w);
            QTest::keyClicks(dlg->Filter(), "carioca");  // without regard to case
            QCOMPARE(dlg->Table()->isRowHidden(0), true);
            QCOMPARE(dlg->Table()->isRowHidden(2), false);
            dlg->accept();
        });
        QCOMPARE(d.SearchList(req), std::vector<int>{2});
        whenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
        QVERIFY(d.SearchList(req).empty());
        // Hidden rows are never picked, even when they were selected.
        req.MultiSelect = true;
        whenModal([](QWidget* w) {
            auto* dlg = qobject_cast<qtview::SearchListDialog*>(w);
            dlg->Table()->selectRow(1);
            dlg->Table()->selectRow(2);
            QTest::keyClicks(dlg->Filter(), "PRETO");
            dlg->accept();
        });
        QCOMPARE(d.SearchList(req), std::vector<int>{1});
    }

    void progressNoteNeverBlocks() {
        QWidget owner;
        owner.show();
        qtview::QtDialogs d(&owner);
        d.ShowProgress(6, "Recebendo retirada do estoque do servidor...");  // returns at once
        QWidget* note = d.ProgressWidget();
        QVERIFY(note && note->isVisible());
        QVERIFY(note->findChild<QLabel*>()->text() == "Recebendo retirada do estoque do servidor...");
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        d.ShowProgress(1, "");  // replaced, with a text of its own
        QVERIFY(!d.ProgressWidget()->findChild<QLabel*>()->text().isEmpty());
        d.HideProgress();
        QVERIFY(d.ProgressWidget() == nullptr);
        d.HideProgress();  // twice is harmless
    }

    void keysAsTheToolkitNamesThem() {
        struct Case {
            int qt;
            Qt::KeyboardModifiers mods;
            const char* text;
            WORD key;
            char32_t typed;
            bool shift, ctrl;
        } cases[] = {
            {Qt::Key_Backtab, Qt::ShiftModifier, "", VK_TAB, 0, true, false},
            {Qt::Key_Slash, Qt::NoModifier, "/", VK_OEM_2, U'/', false, false},
            // The toolkit types the system's decimal separator for the keypad's key.
            {Qt::Key_Period, Qt::KeypadModifier, ".", VK_DECIMAL, 0, false, false},
            {Qt::Key_Delete, Qt::ControlModifier, "", VK_DELETE, 0, false, true},
            {Qt::Key_PageDown, Qt::AltModifier, "", VK_NEXT, 0, false, false},
            {Qt::Key_Enter, Qt::KeypadModifier, "\r", VK_RETURN, 0, false, false},
        };
        for (const Case& c : cases) {
            QKeyEvent e(QEvent::KeyPress, c.qt, c.mods, QString::fromUtf8(c.text));
            auto k = qtview::TranslateKey(e);
            QCOMPARE(k.Key, c.key);
            QVERIFY(k.Typed == c.typed);
            QCOMPARE(k.Shift.Shift, c.shift);
            QCOMPARE(k.Shift.Ctrl, c.ctrl);
        }
        QKeyEvent shiftAlone(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
        QVERIFY(qtview::TranslateKey(shiftAlone).Modifier);
        QCOMPARE(qtview::QtKeyOf(VK_F5), int(Qt::Key_F5));
    }

    void picturesKeepTheirSizesWithOliveTransparent() {
        Application().Reset();
        TForm* f = Application().CreateForm<TForm>("frmImagens");
        struct Img {
            const char* name;
            int w, h;
        };
        for (Img i : {Img{"imgOk", 24, 16}, Img{"imgComErro", 16, 16}, Img{"imgSemErro", 18, 18}}) {
            auto* img = TComponent::Create<TImage>(f, i.name);
            img->SetBounds(0, 0, i.w, i.h);
            QPixmap pm = qtview::PictureByName(*f, i.name);
            QCOMPARE(pm.size(), QSize(i.w, i.h));
            QImage im = pm.toImage().convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(im.pixelColor(0, 0).alpha(), 0);  // the olive ground
            bool opaque = false;
            for (int x = 0; x < im.width(); ++x)
                for (int y = 0; y < im.height(); ++y) opaque |= im.pixelColor(x, y).alpha() == 255;
            QVERIFY(opaque);
        }
        QVERIFY(qtview::PictureByName(*f, "imgNaoExiste").isNull());
        // A bitmap file of the image component is loaded, olive taken out.
        QTemporaryDir dir;
        QImage bmp(4, 4, QImage::Format_RGB32);
        bmp.fill(QColor(128, 128, 0));
        bmp.setPixelColor(1, 1, Qt::red);
        QString file = dir.filePath("ok.bmp");
        QVERIFY(bmp.save(file));
        auto* img = TComponent::Create<TImage>(f, "imgArquivo");
        img->Picture = file.toStdString();
        QImage loaded = qtview::PictureOf(*img).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(loaded.size(), QSize(4, 4));
        QCOMPARE(loaded.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(loaded.pixelColor(1, 1), QColor(Qt::red));
        Application().Reset();
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
