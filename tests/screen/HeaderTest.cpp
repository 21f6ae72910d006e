// The withdrawal header: the date window's flag combinations, what a new and
// a posted header carry, the items taking the withdrawal date, the edited
// header's date rule and the withdrawal-type check.
#include "ScreenFixture.h"

#include "Cli_pla02000/header/DateWindow.h"
#include "core/Exception.h"

#include <map>
#include <tuple>

using namespace screen_test;

namespace {

// The date window alone: (flags set, offset, refusal).
TEST(DateWindow, BranchFlagThenGeneralFlagDecideLaterAndEarlierDays) {
    using Params = std::map<std::string, std::string>;
    const Params mais{{"NRDIASSAIDPD", "2"}, {"NRDIASSAIDPDFIL", "1"}};
    const Params menos{{"NRDIASSAID", "7"}, {"NRDIASSAIDFIL", "3"}};
    auto com = [](Params p, const char* fil, const char* geral, bool later) {
        p[later ? "IDLANCDTMAIFIL" : "IDLANCDTMENFIL"] = fil;
        p[later ? "IDLANCDTMAI" : "IDLANCDTMEN"] = geral;
        return p;
    };
    struct Caso {
        Params p;
        std::vector<std::pair<int, const char*>> dias;
    };
    // The retirada_datas_* scenarios play the branch windows, empty branch flags and two "N";
    // here the mixed flags and the counts' corner cases.
    const std::vector<Caso> casos = {
        {com(mais, "S", "N", true), {{1, ""}, {2, "Data_M"}}},  // the branch's own count, whatever the general flag
        {com(mais, "N", "S", true), {{2, ""}, {3, "Data_M"}}},
        {com(menos, "S", "N", false), {{-3, ""}, {-4, "Data_M"}}},
        {com(menos, "N", "", false), {{-7, ""}, {-8, "Data_M"}}},  // anything but "N" opens the general window
        {{{"IDLANCDTMAI", "S"}, {"NRDIASSAIDPD", "2.9"}}, {{2, ""}, {3, "Data_M"}}},  // whole days
    };
    const TDateTime proc = EncodeDate(2026, 3, 10);
    for (size_t c = 0; c < casos.size(); ++c) {
        auto param = [&](const char* f) {
            auto it = casos[c].p.find(f);
            return it == casos[c].p.end() ? std::string() : it->second;
        };
        for (const auto& [dia, recusa] : casos[c].dias)
            EXPECT_EQ(retirada::RecusaJanelaRetirada(IncDay(proc, dia), proc, param), recusa) << c << " " << dia;
    }
    // The time of day is ignored.
    auto param = [](const char* f) { return std::string(f) == "IDLANCDTMAI" ? "S" : "0"; };
    EXPECT_EQ(retirada::RecusaJanelaRetirada(TDateTime(proc.Val + 0.9), TDateTime(proc.Val + 0.1), param), "");
}

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
    // (type, product, required, refusal or "" and the name then shown)
    const std::tuple<const char*, const char*, bool, const char*, const char*> casos[] = {
        {"4", "0103009", true, "", "DEGUSTAÇÃO"},  // a tasting product; the code is padded
        {"04", "0105001", false, "Produto não relacionado ao tipo de retirada informado.", nullptr},
        {"1", "0105001", true, "", "CONSUMO NORMAL"},  // no products registered: any product
        {"99", "0105001", false, "Tipo de Retirada não cadastrado.", nullptr},
        {"", "0105001", false, "", ""},
        {"", "0105001", true, "Tipo de Retirada deve ser informado.", nullptr},
    };
    for (const auto& [tipo, arvore, obrigatorio, recusa, nome] : casos) {
        SCOPED_TRACE(std::string(tipo) + " " + arvore);
        item.FieldByName("CDTIPORETI").SetAsString(tipo);
        item.FieldByName("CDARVPROD").SetAsString(arvore);
        if (*recusa) {
            EXPECT_THROW(f->Vd_TipoReti(obrigatorio), EAbort);
            EXPECT_NE(Shown().find(recusa), std::string::npos) << Shown();
        } else {
            EXPECT_NO_THROW(f->Vd_TipoReti(obrigatorio));
            EXPECT_EQ(item.FieldByName("NMTIPORETI").AsString(), nome);
            if (*tipo) {
                EXPECT_EQ(item.FieldByName("CDTIPORETI").AsString().size(), 2u);
            }
        }
    }
    EXPECT_EQ(item.FieldByName("CDTIPORETI").AsString(), "");
    EXPECT_EQ(f->dbgItens->SelectedField()->FieldName(), "CDTIPORETI");
    // An item marked deleted is left alone.
    item.FieldByName("IDSTATUS").SetAsString("D");
    item.FieldByName("CDTIPORETI").SetAsString("99");
    EXPECT_NO_THROW(f->Vd_TipoReti(true));
    item.Cancel();
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
