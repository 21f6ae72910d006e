// The withdrawal header: the date window's flag combinations, what a new and
// a posted header carry, the items taking the withdrawal date, the edited
// header's date rule and the withdrawal-type check.
#include "ScreenFixture.h"

#include "Cli_pla02000/header/DateWindow.h"
#include "core/Exception.h"

#include <map>

using namespace screen_test;

namespace {

// ---- The date window, alone ------------------------------------------------------------

struct Janela {
    std::map<std::string, std::string> p;
    std::string operator()(int offset) const {
        const TDateTime proc = EncodeDate(2026, 3, 10);
        return retirada::RecusaJanelaRetirada(IncDay(proc, offset), proc, [this](const char* f) {
            auto it = p.find(f);
            return it == p.end() ? std::string() : it->second;
        });
    }
};

TEST(DateWindow, LaterDaysFollowTheBranchFlagThenTheGeneralOne) {
    Janela j{{{"NRDIASSAIDPD", "2"}, {"NRDIASSAIDPDFIL", "1"}}};
    j.p["IDLANCDTMAIFIL"] = "S";  // the branch's own count, whatever the general flag
    j.p["IDLANCDTMAI"] = "N";
    EXPECT_EQ(j(1), "");
    EXPECT_EQ(j(2), "Data_M");
    j.p["IDLANCDTMAIFIL"] = "N";
    EXPECT_EQ(j(1), "Data_Mai");
    j.p["IDLANCDTMAI"] = "S";
    EXPECT_EQ(j(2), "");
    EXPECT_EQ(j(3), "Data_M");
    j.p["IDLANCDTMAIFIL"] = "";  // no branch flag: the general window
    EXPECT_EQ(j(2), "");
    EXPECT_EQ(j(3), "Data_M");
    j.p["IDLANCDTMAI"] = "N";  // ... and without it any later day passes
    EXPECT_EQ(j(400), "");
    EXPECT_EQ(j(0), "");
}

TEST(DateWindow, EarlierDaysAreRefusedOutrightOnlyUnderTwoNoFlags) {
    Janela j{{{"NRDIASSAID", "7"}, {"NRDIASSAIDFIL", "3"}}};
    j.p["IDLANCDTMENFIL"] = "S";
    j.p["IDLANCDTMEN"] = "N";
    EXPECT_EQ(j(-3), "");
    EXPECT_EQ(j(-4), "Data_M");
    j.p["IDLANCDTMENFIL"] = "N";
    EXPECT_EQ(j(-1), "Data_Men");
    j.p["IDLANCDTMEN"] = "";  // anything but "N" opens the general window
    EXPECT_EQ(j(-7), "");
    EXPECT_EQ(j(-8), "Data_M");
    j.p["IDLANCDTMENFIL"] = "";
    j.p["IDLANCDTMEN"] = "S";
    EXPECT_EQ(j(-7), "");
    EXPECT_EQ(j(-8), "Data_M");
    j.p["IDLANCDTMEN"] = "N";
    EXPECT_EQ(j(-400), "");
}

TEST(DateWindow, DayCountsAreWholeDaysAndTheTimeOfDayIsIgnored) {
    Janela j{{{"IDLANCDTMAI", "S"}, {"NRDIASSAIDPD", "2.9"}}};
    EXPECT_EQ(j(2), "");
    EXPECT_EQ(j(3), "Data_M");
    const TDateTime p = EncodeDate(2026, 3, 10);
    auto param = [](const char* f) { return std::string(f) == "IDLANCDTMAI" ? "S" : "0"; };
    EXPECT_EQ(retirada::RecusaJanelaRetirada(TDateTime(p.Val + 0.9), TDateTime(p.Val + 0.1), param), "");
}

// ---- The header on the screen ------------------------------------------------------------

class HeaderTest : public ScreenTest {
protected:
    static std::vector<std::string> datas(TClientDataSet& itens) {
        std::vector<std::string> out;
        for (int i = 0; i < itens.RowCount(); ++i) out.push_back(itens.DisplayTextAt(i, itens.FieldByName("DTLANCMOVI")));
        return out;
    }
};

TEST_F(HeaderTest, NewHeaderTakesTheSelectedBranchsNumbersWhereverTheBranchListStands) {
    TfrmRetirada* f = OpenWithList(0, 0);
    ASSERT_NE(f, nullptr);
    // A search over every branch leaves the query on its last row.
    f->qryFilial.Close();
    f->qryFilial.ParamByName("P_CDFILIAL").SetAsString("");
    f->qryFilial.ParamByName("P_TCDFILIAL").SetAsString("T");
    f->qryFilial.Open();
    f->qryFilial.Last();
    ASSERT_NE(f->qryFilial.FieldByName("CDFILIAL").AsString(), "0001");
    f->cdsLanctoEst.Close();
    f->cdsLanctoEst.CreateDataSet();
    f->cdsLanctoEst.Insert();
    EXPECT_EQ(f->cdsLanctoEst.FieldByName("CDFILIMOVI").AsString(), "0001");
    EXPECT_EQ(f->cdsLanctoEst.FieldByName("CDINSCESTA").AsString(), "0620000010081");
    EXPECT_EQ(f->cdsLanctoEst.FieldByName("CDEMPRESA").AsString(), "01");
    f->cdsLanctoEst.Cancel();
}

TEST_F(HeaderTest, PostedHeaderCarriesItsDescriptionDatesServiceAndMenu) {
    TfrmRetirada* f = OpenWithList(0, 0);
    ASSERT_NE(f, nullptr);
    f->sbtIncluirClick(f->sbtIncluir);
    ASSERT_EQ(f->cdsLanctoEst.State(), TDataSetState::dsInsert);
    // A branch whose menu date follows the withdrawal date.
    f->cdsParamEstoque.Edit();
    f->cdsParamEstoque.FieldByName("IDCARDIFRETI").SetAsString("N");
    f->cdsParamEstoque.Post();
    const TDateTime d = EncodeDate(2026, 3, 17);
    f->dbdRetirada->SetDate(d);
    f->dbdDtCardapio->SetDate(EncodeDate(2026, 3, 20));
    f->medCdServico->SetText("00002");
    f->edtNmServico->SetText("JANTAR");
    Pla02000Unit().stNrCardapio = "NOVOCODRET";
    f->cdsLanctoEst.Post();
    TClientDataSet& h = f->cdsLanctoEst;
    EXPECT_EQ(h.FieldByName("DSLANCESTQ").AsString(), "Retirada para o cardápio do dia 17/03/2026 ,Serviço 00002");
    EXPECT_EQ(h.FieldByName("DTCARDAPIO").AsDateTime(), d);
    EXPECT_EQ(h.FieldByName("DTRETIRADA").AsDateTime(), d);
    EXPECT_EQ(h.FieldByName("DTMESCARD").AsDateTime(), EncodeDate(2026, 3, 1));
    EXPECT_EQ(h.FieldByName("CDSERVFILI").AsString(), "00002");
    EXPECT_EQ(h.FieldByName("NMSERVICO").AsString(), "JANTAR");
    EXPECT_EQ(h.FieldByName("NRCARDAPIO").AsString(), "NOVOCODRET");
    EXPECT_EQ(f->inSeqItem, 0);
}

TEST_F(HeaderTest, EveryItemTakesTheWithdrawalDateAndTheDishFilterComesBack) {
    TfrmRetirada* f = OpenWithList(-1, -1);
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(f->cdsRomaRetirada.Locate("IDRETIPRAT", Variant("S")));
    f->mnuFormulario->UserClick();
    TClientDataSet& itens = f->cdsItLanctoEst;
    ASSERT_TRUE(itens.Filtered());
    const std::string filtro = itens.Filter();
    itens.Last();
    const TBookmark atual = itens.Bookmark();
    const int visiveis = itens.RecordCount();
    itens.SetFiltered(false);
    ASSERT_GT(itens.RecordCount(), visiveis) << "the demo's dish-type withdrawal has items of other dishes";
    itens.SetFiltered(true);
    itens.GotoBookmark(atual);

    // Each redated item is posted again; the stock check is not what this looks at.
    f->cdsParamEstoque.Edit();
    f->cdsParamEstoque.FieldByName("IDESTONLINE").SetAsString("N");
    f->cdsParamEstoque.Post();
    const TDateTime d = EncodeDate(2026, 4, 2);
    f->dbdRetirada->SetDate(d);
    f->GravDtItem();
    EXPECT_TRUE(itens.Filtered());
    EXPECT_EQ(itens.Filter(), filtro);
    EXPECT_EQ(itens.Bookmark(), atual);
    EXPECT_EQ(itens.State(), TDataSetState::dsBrowse);
    itens.SetFiltered(false);
    for (const std::string& s : datas(itens)) EXPECT_EQ(s, "02/04/2026");
}

TEST_F(HeaderTest, EditedHeaderNeedsEqualDatesAndThenRedatesItsItems) {
    TfrmRetirada* f = OpenWithList(0, 0);
    ASSERT_NE(f, nullptr);
    f->sbtAlterarClick(f->sbtAlterar);
    ASSERT_EQ(f->cdsLanctoEst.State(), TDataSetState::dsEdit);
    f->HabilitaFiltro(true);  // as when the header is entered again
    const TDateTime p = IncDay(Date(), 1);
    // As typed: the controls show what their fields hold.
    f->cdsLanctoEst.FieldByName("DTLANCESTQ").SetAsDateTime(p);
    f->cdsLanctoEst.FieldByName("DTCARDAPIO").SetAsDateTime(IncDay(p, 1));
    EXPECT_THROW(f->Vd_DataRetirada(), EAbort);
    EXPECT_NE(Shown().find("Data de saída deve ser maior ou igual a data de emissão."), std::string::npos);
    EXPECT_EQ(f->ActiveControl(), f->dbdRetirada);

    f->cdsLanctoEst.FieldByName("DTCARDAPIO").SetAsDateTime(p);
    EXPECT_NO_THROW(f->Vd_DataRetirada()) << Shown();
    f->cdsItLanctoEst.SetFiltered(false);
    ASSERT_FALSE(f->cdsItLanctoEst.IsEmpty());
    for (const std::string& s : datas(f->cdsItLanctoEst)) EXPECT_EQ(s, DateToStr(p));
    EXPECT_GT(f->cdsItLanctoEst.ChangeCount(), 0);
}

TEST_F(HeaderTest, WithdrawalTypeIsCheckedAgainstTheListAndItsProducts) {
    TfrmRetirada* f = OpenWithList(0, 0);
    ASSERT_NE(f, nullptr);
    f->sbtAlterarClick(f->sbtAlterar);
    TClientDataSet& item = f->cdsItLanctoEst;
    ASSERT_FALSE(item.IsEmpty());
    item.Edit();
    auto tipo = [&](const char* t, const char* arvore) {
        item.FieldByName("CDTIPORETI").SetAsString(t);
        item.FieldByName("CDARVPROD").SetAsString(arvore);
    };

    tipo("4", "0103009");  // a tasting product
    EXPECT_NO_THROW(f->Vd_TipoReti(true));
    EXPECT_EQ(item.FieldByName("CDTIPORETI").AsString(), "04");
    EXPECT_EQ(item.FieldByName("NMTIPORETI").AsString(), "DEGUSTAÇÃO");

    tipo("04", "0105001");
    EXPECT_THROW(f->Vd_TipoReti(false), EAbort);
    EXPECT_NE(Shown().find("Produto não relacionado ao tipo de retirada informado."), std::string::npos);
    EXPECT_EQ(f->dbgItens->SelectedField()->FieldName(), "CDTIPORETI");

    tipo("1", "0105001");  // no products registered: any product
    EXPECT_NO_THROW(f->Vd_TipoReti(true));
    EXPECT_EQ(item.FieldByName("NMTIPORETI").AsString(), "CONSUMO NORMAL");

    tipo("99", "0105001");
    EXPECT_THROW(f->Vd_TipoReti(false), EAbort);
    EXPECT_NE(Shown().find("Tipo de Retirada não cadastrado."), std::string::npos);

    tipo("", "0105001");
    EXPECT_NO_THROW(f->Vd_TipoReti(false));
    EXPECT_EQ(item.FieldByName("NMTIPORETI").AsString(), "");
    EXPECT_THROW(f->Vd_TipoReti(true), EAbort);
    EXPECT_NE(Shown().find("Tipo de Retirada deve ser informado."), std::string::npos);

    // An item marked deleted is left alone.
    item.FieldByName("IDSTATUS").SetAsString("D");
    tipo("99", "0105001");
    EXPECT_NO_THROW(f->Vd_TipoReti(true));
    item.Cancel();
}

TEST_F(HeaderTest, AlteredHeaderRetypedToAnotherUsedRequisitionIsRefused) {
    TfrmRetirada* f = OpenWithList(-1, -1);  // its requisition is the planned one
    ASSERT_NE(f, nullptr);
    f->sbtAlterarClick(f->sbtAlterar);
    f->HabilitaFiltro(true);  // as when the header is entered again
    ResetCalls();
    f->dbeNrRequisicao->UserSetText("2");  // today's withdrawal uses 0000000002
    f->medCdServico->UserSetFocus();
    EXPECT_NE(Shown().find("Já existe outra retirada para a requisição informada."), std::string::npos);
    EXPECT_EQ(f->ActiveControl(), f->dbeNrRequisicao);
    f->dbeNrRequisicao->UserSetText("0");  // its own number, typed short: not checked
    f->medCdServico->UserSetFocus();
    EXPECT_EQ(f->ActiveControl(), f->medCdServico);
    EXPECT_EQ(Calls("GetPesqRequisicao"), 1);
    EXPECT_EQ(Calls("GetVdPrevReti"), 0);
}

TEST_F(HeaderTest, ProductBlockCountsTheServiceRecordOnlyForTheHeadersService) {
    TfrmRetirada* f = OpenWithList(0, 0);  // JANTAR's withdrawal
    ASSERT_NE(f, nullptr);
    f->sbtAlterarClick(f->sbtAlterar);
    TClientDataSet& h = f->cdsLanctoEst;
    auto recusa = [&](const char* servico, const char* bloqueio) {
        h.FieldByName("CDSERVFILI").SetAsString(servico);
        h.FieldByName("IDBLOQINCPRODRETIPLA").SetAsString(bloqueio);
        try {
            f->Vd_BloqInclProd();
            return false;
        } catch (const EAbort&) {
            return true;
        }
    };
    // CAFÉ DA MANHÃ (00004) blocks products.
    f->cdsVdServico.SetData(f->CallServer(f->netRetirada, "getVdServico", {Variant("0001"), Variant("00004")}));
    EXPECT_FALSE(recusa("00002", "N")) << "the record is another service's";
    EXPECT_TRUE(recusa("00004", "N"));
    EXPECT_NE(Shown().find("Inclusão de produto não permitida para o serviço informado."), std::string::npos);
    f->cdsVdServico.Close();
    EXPECT_FALSE(recusa("00002", "N"));
    EXPECT_TRUE(recusa("00002", "S")) << "the header's own flag";
    h.Cancel();
}

}  // namespace
