// The browse filter dialog: its checks and messages, the list it loads and
// what it leaves on the screen, the remembered filter, the suggested dates,
// and that only a confirmation is reported as one.
#include "DialogFixture.h"

#include "core/Exception.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;
using ::testing::Not;

namespace filterdlg_test {
namespace {

// Blank, unknown, inactive and short codes: filtro_servico.scn.
TEST_F(DialogTest, AServiceOfAnotherBranchIsNotOneOfTheScreensBranch) {
    TfrmFiltroRetirada& d = Dialog();
    Screen().medCdFilial->SetText("0004");
    d.medCdServico->SetText("00003");
    EXPECT_THROW(d.Vd_Servico(true), EAbort);
    EXPECT_THAT(Shown(), HasSubstr("Serviço não cadastrado."));
}

TEST_F(DialogTest, TypingAServiceClearsItsNameAndTheSearchFillsBoth) {
    TfrmFiltroRetirada& d = Dialog();
    d.edtNmServico->SetText("JANTAR");
    d.medCdServico->SetText("0");
    EXPECT_EQ(d.edtNmServico->Text(), "");

    dialogs().Queue(ScriptedAnswer::PickWhere("CDSERVFILI", "00003"));
    EXPECT_TRUE(d.btpServico->Pesquisar());
    EXPECT_EQ(d.medCdServico->Text(), "00003");
    EXPECT_EQ(d.edtNmServico->Text(), "DIETA HOSPITALAR");
    // The list holds the branch's active services only.
    EXPECT_FALSE(d.qryServico.Locate("CDSERVFILI", Variant("00005")));
}

TEST_F(DialogTest, DateRangeMessagesInOrder) {
    TfrmFiltroRetirada& d = Dialog();
    auto check = [&](TDateEdit* a, TDateEdit* b) {
        dialogs().ClearTranscript();
        EXPECT_THROW(d.Vd_Datas(a, b), EAbort);
        return Shown();
    };
    d.depRetiradaIni->SetDate(TDateTime());
    d.depRetiradaFin->SetDate(TDateTime());
    EXPECT_THAT(check(d.depRetiradaIni, d.depRetiradaFin), HasSubstr("\"Data retirada inicial deve ser informada.\""));

    d.depRetiradaIni->SetDate(today);
    EXPECT_THAT(check(d.depRetiradaIni, d.depRetiradaFin), HasSubstr("\"Data retirada final deve ser informada.\""));

    d.depCardapioIni->SetDate(today);
    d.depCardapioFin->SetDate(IncDay(today, -1));
    EXPECT_THAT(check(d.depCardapioIni, d.depCardapioFin),
                HasSubstr("\"Data cardápio inicial deve ser menor ou igual a data cardápio final.\""));

    d.depCardapioFin->SetDate(today);
    dialogs().ClearTranscript();
    EXPECT_NO_THROW(d.Vd_Datas(d.depCardapioIni, d.depCardapioFin));
    EXPECT_EQ(Shown(), "");

    d.depCardapioFin->SetText("31/02/2026");
    EXPECT_THROW(d.Vd_Datas(d.depCardapioIni, d.depCardapioFin), EConvertError);
}

TEST_F(DialogTest, FailedChecksKeepTheDialogOpenAndCallNothing) {
    Fill("", today, IncDay(today, -2), today, today);
    Press();
    Then([this] {
        EXPECT_TRUE(Visible());
        EXPECT_THAT(Shown(), HasSubstr("Data retirada inicial deve ser menor ou igual a data retirada final."));
        EXPECT_TRUE(Dialog().depRetiradaIni->Focused());
    });
    Escape();
    OpenFromScreen();
    EXPECT_FALSE(Pla02010Unit().boConfirma);
    EXPECT_EQ(screen_test::Calls("GetRomaRetirada"), 0);
}

// The list, the pages and the general-withdrawal command after a confirmation
// are the filter scenarios'; here, the state they cannot read.
TEST_F(DialogTest, ConfirmationSetsUpTheScreensSourcesAndFilterDates) {
    Fill("", IncDay(today, -1), today, IncDay(today, -1), today);
    Confirm();
    OpenFromScreen();
    TfrmRetirada& f = Screen();
    EXPECT_TRUE(f.cdsUtilizaRetiPrat.Active());
    for (TDataSource* s : {&f.dtsPadrao, &f.dtsItLanctoEst, &f.dtsServico, &f.dtsRomaRetirada})
        EXPECT_TRUE(s->Enabled());
    EXPECT_TRUE(f.mnuFolhaDados->Checked());
    EXPECT_TRUE(Pla02000Unit().boDtEstoq);
    EXPECT_EQ(f.dtFiltroIni, IncDay(today, -1));
    EXPECT_EQ(f.dtFiltroFin, today);
}

TEST_F(DialogTest, ServerFailureIsShownAndTheDialogStaysOpen) {
    // The branch is changed under the open dialog to one the server refuses.
    TDateTime filtroAntes;
    bool habilitaAntes = false, fonteAntes = false;
    Then([&, this] {
        Screen().medCdFilial->SetText("9999");
        filtroAntes = Screen().dtFiltroIni;
        habilitaAntes = Pla02000Unit().boHabilitaReti;
        fonteAntes = Screen().dtsRomaRetirada.Enabled();
    });
    Fill("", IncDay(today, -3), today, today, today);
    Press();
    Then([&, this] {
        EXPECT_TRUE(Visible());
        EXPECT_THAT(Shown(), HasSubstr("9999"));
        EXPECT_FALSE(Pla02010Unit().boGetData);
        EXPECT_EQ(Application().Cursor(), TCursor::crDefault);
        // Nothing of the failed filter reached the screen.
        EXPECT_EQ(Screen().dtFiltroIni, filtroAntes);
        EXPECT_EQ(Pla02000Unit().boHabilitaReti, habilitaAntes);
        EXPECT_EQ(Screen().dtsRomaRetirada.Enabled(), fonteAntes);
    });
    Escape();
    OpenFromScreen();
    EXPECT_FALSE(Pla02010Unit().boConfirma);
}

TEST_F(DialogTest, TheLastConfirmedFilterComesBackAndUnconfirmedEditsDoNot) {
    const TDateTime a = IncDay(today, -3), b = IncDay(today, -1), c = IncDay(today, -10), e = IncDay(today, 2);
    Fill("00002", a, b, c, e);
    Confirm();
    OpenFromScreen();
    const TRecordFilter& r = Dialog().FiltroLembrado();
    EXPECT_EQ(r.CdServico, "00002");
    EXPECT_EQ(r.NmServico, "JANTAR");
    EXPECT_EQ(r.DtRetiradaIni, a);
    EXPECT_EQ(r.DtCardapioFin, e);

    // Edits of a showing that is then closed are dropped at the next showing.
    Fill("00003", today, today, today, today);
    Escape();
    OpenFromScreen();
    Then([this, e] {
        TfrmFiltroRetirada& d = Dialog();
        EXPECT_EQ(d.medCdServico->Text(), "00002");
        EXPECT_EQ(d.edtNmServico->Text(), "JANTAR");
        EXPECT_EQ(d.depCardapioFin->Date(), e);
        EXPECT_TRUE(d.medCdServico->Focused());
    });
    Escape();
    OpenFromScreen();
    EXPECT_EQ(Pla02010Unit().frmFiltroRetirada, &Dialog());  // one dialog, kept
}

// The screen's service replacing the dialog's is screen/BranchFilterTest's.
TEST_F(DialogTest, ScreenConfirmationKeepsABlankServiceBlank) {
    TfrmFiltroRetirada& d = Dialog();
    d.depRetiradaIni->SetDate(IncDay(today, -7));
    d.medCdServico->SetText("");
    d.LembraFiltro("00001", "ALMOÇO");
    EXPECT_EQ(d.FiltroLembrado().CdServico, "");
    EXPECT_EQ(d.FiltroLembrado().DtRetiradaIni, IncDay(today, -7));
}

}  // namespace
}  // namespace filterdlg_test
