#include "store/DemoGeneral.h"

#include "store/DemoData.h"

#include <utility>
#include <vector>

namespace store::demo {

namespace {

struct Use {
    const char* branch;
    const char* service;
    const char* tree;
    double quantity;
};

void insertUses(db::SqlConnection& c, const char* table, const char* column, const std::vector<Use>& uses) {
    const std::string sql = std::string("INSERT INTO ") + table + " (CDFILIAL, CDSERVFILI, CDPRODUTO, " + column +
                            ") SELECT :F, :S, CDPRODUTO, :Q FROM PRODUTO WHERE CDARVPROD = :A";
    for (const Use& u : uses) c.Execute(sql, {{"F", u.branch}, {"S", u.service}, {"A", u.tree}, {"Q", u.quantity}});
}

}  // namespace

void LoadGeneralWithdrawalPaths(db::SqlConnection& c) {
    // Meals planned per service; a dish without its own count serves them all.
    for (auto [service, meals] : {std::pair{kServiceByDish, 120.0}, std::pair{kServicePlain, 80.0},
                                  std::pair{kServiceDiet, 25.0}, std::pair{kServiceDishLocked, 40.0}})
        c.Execute("UPDATE CARDAPIO SET QTREFEPREV = :Q WHERE CDSERVFILI = :S", {{"Q", meals}, {"S", service}});
    // Dessert is taken by half of the meals.
    c.Execute("UPDATE ITCARDAPIO SET QTPRATOPREV = 60 WHERE CDPRATO = '04002' AND NRCARDAPIO IN"
              " (SELECT NRCARDAPIO FROM CARDAPIO C WHERE C.CDFILIAL = ITCARDAPIO.CDFILIAL AND C.CDSERVFILI = :S)",
              {{"S", kServiceByDish}});

    // Technical sheets: quantity of each product per portion of the dish.
    struct Sheet {
        const char* dishBranch;
        const char* dish;
        const char* tree;
        double perPortion;
    };
    const std::vector<Sheet> sheets = {
        {"P", "01001", "0103001", 0.05},  {"P", "01001", "0105004", 0.01},  {"P", "01002", "0103002", 0.08},
        {"P", "02001", "0102001", 0.15},  {"P", "02001", "0103003", 0.02},  {"P", "02002", "0102006", 0.15},
        {"P", "03001", "0101001", 0.08},  {"P", "03001", "0105003", 0.005}, {"P", "03002", "0101003", 0.06},
        {"P", "04002", "0103009", 0.12},  {"P", "04002", "0103010", 0.1},   {"0001", "02003", "0102010", 0.15},
        {"0001", "02003", "0103002", 0.03}, {"0002", "02003", "0102004", 0.15}, {"0002", "02003", "0103005", 0.1},
    };
    for (const Sheet& s : sheets)
        c.Execute("INSERT INTO FICHATECN (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPORCAO)"
                  " SELECT :B, :D, CDPRODUTO, :Q FROM PRODUTO WHERE CDARVPROD = :A",
                  {{"B", s.dishBranch}, {"D", s.dish}, {"A", s.tree}, {"Q", s.perPortion}});

    // Fixed consumption per day and per-capita consumption per meal.
    std::vector<Use> fixed, perCapita;
    for (const char* f : {kBranchLocations, kBranchPlain}) {
        fixed.push_back({f, kServiceByDish, "0105003", 1.0});
        fixed.push_back({f, kServicePlain, "0105002", 0.5});
        fixed.push_back({f, kServicePlain, "0105003", 2.0});
        fixed.push_back({f, kServiceBlockedAdd, "0105006", 1.5});
        perCapita.push_back({f, kServiceByDish, "0106001", 0.2});
        perCapita.push_back({f, kServicePlain, "0106001", 0.25});
    }
    // 0001 keeps an open inventory of sugar: only 0002's breakfast takes it.
    fixed.push_back({kBranchPlain, kServiceBlockedAdd, "0105001", 2.0});
    insertUses(c, "CONSFIXO", "QTCONSUMO", fixed);
    insertUses(c, "CONSPERCAP", "QTPERCAPITA", perCapita);

    // Where 0002 books those consumptions in a service by dish.
    const char* dish = "INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO, CDTIPOPRAT) VALUES (:F, :C, :N, '2', '05')";
    c.Execute(dish, {{"F", kBranchPlain}, {"C", kDishFixed}, {"N", "CONSUMO FIXO DO SERVIÇO"}});
    c.Execute(dish, {{"F", kBranchPlain}, {"C", kDishPerCapita}, {"N", "CONSUMO PER CAPITA"}});
    c.Execute("INSERT INTO PARAMRETGERAL (CDFILIAL, CDTIPOPRATFIXO, CDFILAUXFIXO, CDPRATOFIXO, CDTIPOPRATPER,"
              " CDFILAUXPER, CDPRATOPER) VALUES (:F, '05', :F, :X, '05', :F, :Y)",
              {{"F", kBranchPlain}, {"X", kDishFixed}, {"Y", kDishPerCapita}});
}

}  // namespace store::demo
