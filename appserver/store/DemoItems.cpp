#include "store/DemoItems.h"

#include "store/StockLedger.h"

#include <string>
#include <vector>

namespace store::demo {

namespace {

struct ItemProduct {
    const char* code;
    const char* tree;
    const char* name;
    double factor;     // stock units per product unit
    double cost;       // branch cost of one product unit
    double stock;      // product units entered at P-5; 0: never moved
    double minimum;
};

const std::vector<ItemProduct> kItems = {
    {"300001", kItemStock5, "MILHO VERDE EM CONSERVA", 1, 8.40, 5, 0},
    {"300002", kItemMinimum, "EXTRATO DE TOMATE", 1, 12.00, 10, 4},
    {"300003", kItemNoMovement, "ERVILHA EM CONSERVA", 1, 9.10, 0, 0},
    {"300004", kItemFactor, "FERMENTO BIOLÓGICO SECO", 1000, 60.00, 5, 0},
    {"300005", kItemLots, "QUEIJO PARMESÃO", 1, 68.90, 7, 2},
};

const char* const kBranches[] = {"0001", "0002", "0003"};

}  // namespace

void LoadDemoItems(db::SqlConnection& c, TDateTime today) {
    db::Transaction t(c);
    c.Execute("INSERT INTO PRODUTO (CDPRODUTO, CDARVPROD, NMPRODUTO, CDNVPRODUTO, SGUNIDADE, CDPRODESTO, VRFATOCONV,"
              " IDCNTRESTOQ) VALUES ('900107', '0107', 'CONSERVAS E FERMENTOS', '2', NULL, '900107', 1, 'S')");
    auto branches = c.Query("SELECT CDFILIAL FROM FILIAL ORDER BY CDFILIAL");
    const TDateTime entry = IncDay(today.DateOnly(), -5);
    for (const ItemProduct& p : kItems) {
        c.Execute("INSERT INTO PRODUTO (CDPRODUTO, CDARVPROD, NMPRODUTO, CDNVPRODUTO, SGUNIDADE, CDPRODESTO,"
                  " VRFATOCONV, IDCNTRESTOQ) VALUES (:C, :A, :N, '3', 'KG', :C, :F, 'S')",
                  {{"C", p.code}, {"A", p.tree}, {"N", p.name}, {"F", p.factor}});
        for (const auto& b : branches.rows)
            c.Execute("INSERT INTO PRODFILI (CDFILIAL, CDPRODUTO, IDPRODATIV, QTESTOQMIN, VRCUSTOPROD)"
                      " VALUES (:F, :P, 'A', :M, :C)",
                      {{"F", b[0]}, {"P", p.code}, {"M", p.minimum}, {"C", p.cost}});
        if (p.stock <= 0) continue;
        for (const char* f : kBranches) {
            StockMovement m{f, p.code, {}, entry, 'E', p.stock * p.factor, p.cost / p.factor, "", ""};
            const bool places = std::string(f) == "0001";
            if (places && std::string(p.tree) == kItemLots) {
                // Two sub-lots of one lot in the cold room.
                m.place = {"000002", "CF1", "L0107005", "01"};
                m.quantity = 3;
                AddMovement(c, m);
                m.place.sublot = "02";
                m.quantity = 4;
            } else if (places) {
                m.place = {"000001", "A01", " ", " "};
            }
            AddMovement(c, m);
        }
    }
    c.Execute("INSERT INTO CODBARRA (CDCODBARRA, CDPRODUTO) VALUES (:B, '300001')", {{"B", kBarCodeStock5}});
    c.Execute("INSERT INTO CODBARRA (CDCODBARRA, CDPRODUTO) VALUES (:B, '300002')", {{"B", kBarCodeMinimum}});
    t.Commit();
}

}  // namespace store::demo
