// The general-withdrawal filter dialog: the consumption code, the lists it
// builds and hands over, and that the run reads the dialog that confirmed,
// which frees itself on closing.
#include "DialogFixture.h"

#include "Cli_pla02015/FiltroRetiradaGeral.h"
#include "core/Exception.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace filterdlg_test {
namespace {

// Takes the run's place: records what each confirmation handed over.
class RunRecorder : public IRetiradaGeralTela {
public:
    std::string Filial() const override { return "0001"; }
    void RetiradaGeral(TEscolhaRetiradaGeral& e) override {
        runs.push_back(e);
        e.ListaServ = "00001_";  // what a server leaves in the list comes back to the dialog
    }
    std::vector<TEscolhaRetiradaGeral> runs;
};

class GeneralDialogTest : public DialogTest {
protected:
    TfrmFiltroRetiradaGeral& NewDialog() {
        Screen();
        Pla02015Unit().tela = &run;
        CriaFiltroRetiradaGeral();
        return *Pla02015Unit().frmFiltroRetiradaGeral;
    }
    void TearDown() override {
        Pla02015Unit().tela = nullptr;
        DialogTest::TearDown();
    }
    RunRecorder run;
};

// The checks and their focus are retgeral_filtro's; here what a confirmation hands over.
TEST_F(GeneralDialogTest, ConfirmationHandsOverTheChoicesAndKeepsTheDialogOpen) {
    TfrmFiltroRetiradaGeral& d = NewDialog();
    d.depData->SetDate(EncodeDate(2026, 12, 5));
    EXPECT_EQ(d.edtDiaSemana->Text(), "Sáb");
    d.rdbGrupServLista->UserClick();
    Pla02015Unit().stListaGrupServ = "REFEICAO_";
    d.rdbServLista->UserClick();
    d.stListaServ = "00002_";
    d.chbCardapio->SetChecked(false);
    d.chbConsFixo->SetChecked(true);
    d.chbConsPerCap->SetChecked(true);
    d.sbtConfirmaClick(d.sbtConfirma);
    ASSERT_EQ(run.runs.size(), 1u) << Shown();
    EXPECT_EQ(run.runs[0].CalcRequisicao, "XFP");
    EXPECT_EQ(run.runs[0].ListaServ, "00002_");
    EXPECT_EQ(run.runs[0].Data, EncodeDate(2026, 12, 5));
    EXPECT_EQ(d.stListaServ, "00001_");   // as the run left it
    EXPECT_TRUE(d.Visible());
    // Another group choice forgets the groups and puts the services back on "Todos".
    d.rdbGrupServTodos->UserClick();
    EXPECT_TRUE(Pla02015Unit().stListaGrupServ.empty());
    EXPECT_TRUE(d.rdbServTodos->Checked());
    EXPECT_TRUE(d.stListaServ.empty());
}

TEST_F(GeneralDialogTest, AllServicesAreListedAtEveryConfirmation) {
    TfrmFiltroRetiradaGeral& d = NewDialog();
    d.sbtConfirmaClick(d.sbtConfirma);
    ASSERT_EQ(run.runs.size(), 1u);
    // The branch's active services, occasional ones left out (00006 LANCHE AVULSO).
    EXPECT_THAT(run.runs[0].ListaServ, ::testing::StartsWith("00001_00002_00003_"));
    EXPECT_THAT(run.runs[0].ListaServ, ::testing::Not(HasSubstr("00006_")));
    EXPECT_EQ(run.runs[0].CalcRequisicao, "CFP");
    d.sbtConfirmaClick(d.sbtConfirma);
    EXPECT_EQ(run.runs[1].ListaServ, "00001_" + run.runs[0].ListaServ);
}

TEST_F(GeneralDialogTest, TheRunReadsTheDialogThatConfirmedAndAClosedOneIsForgotten) {
    TfrmFiltroRetiradaGeral& first = NewDialog();
    first.depData->SetDate(EncodeDate(2026, 12, 1));
    TfrmFiltroRetiradaGeral& second = NewDialog();
    second.depData->SetDate(EncodeDate(2026, 12, 2));
    EXPECT_EQ(Pla02015Unit().frmFiltroRetiradaGeral, &second);

    second.Close();
    EXPECT_EQ(Pla02015Unit().frmFiltroRetiradaGeral, nullptr);
    EXPECT_FALSE(Pla02015Unit().boIdCriado);
    first.sbtConfirmaClick(first.sbtConfirma);
    ASSERT_EQ(run.runs.size(), 1u);
    EXPECT_EQ(run.runs[0].Data, EncodeDate(2026, 12, 1));
    first.Close();
}

}  // namespace
}  // namespace filterdlg_test
