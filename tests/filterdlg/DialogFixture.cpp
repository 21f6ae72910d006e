#include "DialogFixture.h"

#include "ui/Keys.h"

namespace filterdlg_test {

void DialogTest::SetUp() {
    ScreenTest::SetUp();
    playFilterDialog_ = false;  // the real dialog, under test
    today = Date();
    Application().SetInputPump([this] {
        if (steps_.empty()) return false;
        auto step = std::move(steps_.front());
        steps_.pop_front();
        step();
        return true;
    });
}

void DialogTest::TearDown() {
    Application().SetInputPump(nullptr);
    ScreenTest::TearDown();
    Pla02010Unit() = FiltroRetiradaUnit{};
}

TfrmRetirada& DialogTest::Screen() {
    if (!screen_) {
        screen_ = Open();
        if (!screen_) throw Exception("the screen did not open");
        dialogs().ClearTranscript();  // what opening showed is the screen's business
    }
    return *screen_;
}

TfrmFiltroRetirada& DialogTest::Dialog() {
    Screen();
    FiltroRetiradaUnit& u = Pla02010Unit();
    if (!u.frmFiltroRetirada) u.frmFiltroRetirada = Application().CreateForm<TfrmFiltroRetirada>("frmFiltroRetirada");
    return *u.frmFiltroRetirada;
}

void DialogTest::Confirm() {
    Then([this] {
        Dialog().sbtConfirma->UserClick();
        if (Dialog().ModalResult() != mrOk) ADD_FAILURE() << "still open after confirming:\n" << Shown();
    });
}

void DialogTest::Escape() {
    Then([this] { Dialog().UserKeyDown(VK_ESCAPE); });
}

void DialogTest::Fill(const std::string& service, TDateTime retIni, TDateTime retFin, TDateTime cardIni,
                      TDateTime cardFin) {
    Then([=, this] {
        TfrmFiltroRetirada& d = Dialog();
        d.medCdServico->SetText(service);
        d.depRetiradaIni->SetDate(retIni);
        d.depRetiradaFin->SetDate(retFin);
        d.depCardapioIni->SetDate(cardIni);
        d.depCardapioFin->SetDate(cardFin);
    });
}

void DialogTest::Press() {
    Then([this] { Dialog().sbtConfirma->UserClick(); });
}

void DialogTest::OpenFromScreen() {
    TfrmRetirada& f = Screen();
    TWinControl* at = f.ActiveControl();
    if (at == f.medCdFilial || at == f.panFiltro) {
        f.UserKeyDown(VK_TAB);  // leaving the branch panel opens the dialog
        return;
    }
    Application().RunUserAction([&] { f.sbtFiltroClick(nullptr); });
}

}  // namespace filterdlg_test
