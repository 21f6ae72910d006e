// The stock library's services against an in-process server over a fresh demo
// database: what each lets through and what it refuses.
#include "TestDatabase.h"
#include "AppServer.h"
#include "core/Exception.h"
#include "data/ClientDataSet.h"
#include "store/Database.h"
#include "store/DemoData.h"
#include "stocklib/Lib00200.h"
#include "stocklib/Lib00206.h"
#include "stocklib/Lib00210.h"
#include "stocklib/Lib02200.h"
#include "stocklib/Refusal.h"
#include "ui/Application.h"
#include "ui/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace demo = store::demo;

namespace {

class StockLib : public ::testing::Test {
protected:
    void SetUp() override {
        appserver::AppServerOptions o;
        o.log = appserver::NullLogSink();
        server = std::make_unique<appserver::AppServer>(testdb::Demo(), o);
        host = server->RegisterInProcess("stocklib-tests");
        stocklib::SetRefusalReporter([this](const std::string& t) { refusals.push_back(t); });
        signOn(demo::kOperator, demo::kPassword);
    }
    void TearDown() override { stocklib::SetRefusalReporter({}); }

    void signOn(const std::string& op, const std::string& pw) {
        for (TNetConnection* c : {&netEstoque, &netAutoriza, &netInfoProd}) {
            c->Close();
            c->Host = host;
            c->ThrowException = false;
        }
        netEstoque.SignOn(op, pw);  // one sign-on serves every connection to the server
        netAutoriza.Open();
        netInfoProd.Open();
    }

    template <class F>
    auto db(F&& fn) {
        return server->WithDatabase(std::forward<F>(fn));
    }
    std::string product(const std::string& tree) {
        return db([&](db::SqlConnection& c) {
            return c.Query("SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = :A", {{"A", tree}}).rows.at(0).at(0).AsString();
        });
    }
    // Runs fn expecting a refusal; returns its text.
    template <class F>
    std::string refusal(F&& fn) {
        refusals.clear();
        EXPECT_THROW(fn(), EAbort);
        return refusals.empty() ? "" : refusals.back();
    }

    std::unique_ptr<appserver::AppServer> server;
    std::string host;
    std::vector<std::string> refusals;
    TNetConnection netEstoque{"netEstoque", "Est00000.rdmEstoque"};
    TNetConnection netAutoriza{"netAutoriza", "Est.rdmAutoriza"};
    TNetConnection netInfoProd{"netInfoProd", "Est00000.rdmEstoque"};
};

}  // namespace

TEST_F(StockLib, InventoryBlocksTheWholeBranchOnlyWhenItCountsTheWholeStock) {
    // 0001 has an open inventory of one product today: the branch as a whole may move.
    EXPECT_NO_THROW(Lib00200::ValidaInventario(netEstoque, "0001", Date()));
    db([](db::SqlConnection& c) {
        return c.Execute("INSERT INTO INVENTARIO (CDFILIAL, NRINVENTARIO, DTINVENTARIO, IDSITUACAO)"
                         " VALUES ('0002', '0000000099', :D, 'A')",
                         {{"D", IncDay(Date(), -1)}});
    });
    std::string text = refusal([&] { Lib00200::ValidaInventario(netEstoque, "0002", Date()); });
    EXPECT_NE(text.find("inventário em andamento na filial 0002"), std::string::npos) << text;
    // The day before the inventory is still free.
    EXPECT_NO_THROW(Lib00200::ValidaInventario(netEstoque, "0002", IncDay(Date(), -2)));
}

TEST_F(StockLib, ClosedDaysNeedARelease) {
    bool released = true;
    Lib00200::Confirma_Liberacao(netEstoque, netAutoriza, "0001", Date(), released);
    EXPECT_FALSE(released);  // today is open: nothing to release

    // DEMO may release: the release is recorded in his name.
    Lib00200::Confirma_Liberacao(netEstoque, netAutoriza, "0001", IncDay(Date(), -1), released);
    EXPECT_TRUE(released);
    auto who = db([](db::SqlConnection& c) {
        return c.Query("SELECT CDOPERADOR FROM LIBERACAO WHERE CDFILIAL = '0001' AND DTLIBERADA = :D",
                       {{"D", IncDay(Date(), -1)}});
    });
    ASSERT_EQ(who.rows.size(), 1u);
    EXPECT_EQ(who.rows[0][0], Variant("DEMO"));

    // BRUNO may not: a day already released passes, another closed day is refused.
    signOn(demo::kOperatorNoRights, "bruno");
    released = false;
    Lib00200::Confirma_Liberacao(netEstoque, netAutoriza, "0001", IncDay(Date(), -1), released);
    EXPECT_TRUE(released);
    std::string text = refusal([&] { Lib00200::Confirma_Liberacao(netEstoque, netAutoriza, "0001", IncDay(Date(), -3), released); });
    EXPECT_NE(text.find("está fechada para a filial 0001"), std::string::npos) << text;
    // A rights question that cannot be asked is refused, not answered "no".
    netAutoriza.Close();
    EXPECT_FALSE(refusal([&] { Lib02200::Autoriza(netAutoriza, TAutoriza::Operador, demo::kRightAlter, ""); }).empty());
}

TEST_F(StockLib, PacksCountInTheirStockUnitAndWholeUnitsRoundUp) {
    const std::string rice = product(demo::kProductRice);
    auto quantity = [&](const std::string& p, const char* storeroom) {
        Variant v = Lib00200::Consulta_PosEstDia(netEstoque, "0001", p, storeroom, " ", " ", " ", Date(), 1, -1);
        return v.AsPacket().rows.at(0).values.at(3).AsFloat();
    };
    EXPECT_GT(quantity(rice, " "), 0.0);
    EXPECT_NEAR(quantity(product(demo::kProductRicePack), " ") * 5.0, quantity(rice, " "), 1e-6);
    EXPECT_EQ(quantity(rice, "ZZZZZZ"), 0.0);
    auto unitProduct = db([](db::SqlConnection& c) {
        return c.Query("SELECT CDPRODUTO FROM PRODUTO WHERE SGUNIDADE = 'UN'").rows.at(0).at(0).AsString();
    });
    EXPECT_EQ(Lib00200::Arredond_Parametrizado(netEstoque, "0001", unitProduct, 2.2), 3.0);
    EXPECT_EQ(Lib00200::Arredond_Parametrizado(netEstoque, "0001", unitProduct, 2.0), 2.0);
    EXPECT_NEAR(Lib00200::Arredond_Parametrizado(netEstoque, "0001", rice, 1.23456), 1.235, 1e-12);
}

TEST_F(StockLib, ItemPlaceIsCompletedFromTheProductsUsualPlace) {
    TClientDataSet items;
    items.AddField("CDPRODUTO", TFieldType::ftString, 10);
    items.AddField("CDALMOXARIFE", TFieldType::ftString, 6);
    items.AddField("CDLOCALESTOQ", TFieldType::ftString, 6);
    items.CreateDataSet();
    items.AppendRecord({Variant(product(demo::kProductRice)), Variant(" "), Variant()});
    auto call = [&](const char* branch) {
        Lib00206::DescEstoqProdCli(netEstoque, netInfoProd, branch, items, false, true, false, false, true, true, false,
                                   false, false, "", "", "", "", "", TDateTime(), TDateTime());
    };
    call("0001");
    EXPECT_EQ(items.State(), TDataSetState::dsBrowse);  // posted again
    EXPECT_FALSE(items.FieldByName("CDALMOXARIFE").AsString().empty());
    EXPECT_FALSE(items.FieldByName("CDLOCALESTOQ").AsString().empty());

    // A place already given is kept; a branch without storerooms changes nothing.
    items.Edit();
    items.FieldByName("CDALMOXARIFE").SetAsString("X1");
    items.FieldByName("CDLOCALESTOQ").SetAsString("");
    call("0001");
    EXPECT_EQ(items.State(), TDataSetState::dsEdit);  // left in edit
    EXPECT_EQ(items.FieldByName("CDALMOXARIFE").AsString(), "X1");
    EXPECT_EQ(items.FieldByName("CDLOCALESTOQ").AsString(), "");  // the usual location belongs to another storeroom
    items.Cancel();
}

TEST_F(StockLib, ProductValidation) {
    server->WithDatabase([&](db::SqlConnection& c) {
        std::string inactive = refusal([&] { Lib00210::Validacao_Produto(c, "0001", demo::kProductInactive0001, "N"); });
        EXPECT_NE(inactive.find("inativo na filial 0001"), std::string::npos) << inactive;
        EXPECT_NO_THROW(Lib00210::Validacao_Produto(c, "0002", demo::kProductInactive0001, "N"));
        EXPECT_NO_THROW(Lib00210::Validacao_Produto(c, "0001", demo::kProductNoStockControl, "N"));
        std::string blocked = refusal([&] { Lib00210::Validacao_Produto(c, "0001", demo::kProductNoStockControl, "S"); });
        EXPECT_NE(blocked.find("sem controle de estoque"), std::string::npos) << blocked;
        EXPECT_NO_THROW(Lib00210::Validacao_Produto(c, "0001", "99999", "N"));  // the caller names it
        return 0;
    });
}

TEST_F(StockLib, RefusalsGoToTheDialogServiceByDefault) {
    stocklib::SetRefusalReporter({});
    auto dialogs = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs* seen = dialogs.get();
    Application().SetDialogs(std::move(dialogs));
    EXPECT_THROW(Lib00200::Arredond_Parametrizado(netEstoque, "0001", "NADA", 1.0), EAbort);
    ASSERT_EQ(seen->Transcript().size(), 1u);
    EXPECT_EQ(seen->Transcript()[0].Kind, "ErrorBox");
    EXPECT_EQ(seen->Transcript()[0].Text, "Produto NADA não cadastrado.");
    Application().SetDialogs(nullptr);
}
