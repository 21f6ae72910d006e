#include "store/DemoData.h"
#include "store/DemoGeneral.h"
#include "store/DemoRequisitions.h"
#include "store/DemoItems.h"
#include "store/DemoSaving.h"

#include "core/Text.h"
#include "store/Password.h"
#include "store/Sequences.h"
#include "store/StockLedger.h"

#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <random>

namespace store::demo {

namespace {

// Draws from the seed with plain arithmetic, so the same seed gives the same
// data with every standard library.
class Dice {
public:
    explicit Dice(uint32_t seed) : gen_(seed) {}
    int Between(int lo, int hi) { return lo + static_cast<int>(gen_() % static_cast<uint32_t>(hi - lo + 1)); }
    double Money(double lo, double hi) {
        double x = lo + (hi - lo) * (static_cast<double>(gen_() % 100000) / 100000.0);
        return std::round(x * 100.0) / 100.0;
    }
    bool Chance(int percent) { return Between(1, 100) <= percent; }

private:
    std::mt19937 gen_;
};

struct ProductDef {
    const char* name;
    const char* unit;
};

struct Subgroup {
    const char* tree;
    const char* name;
    const char* storeroom;  // where 0001 keeps it
    const char* location;
    bool lots;
    std::vector<ProductDef> items;
};

const std::vector<std::pair<const char*, const char*>> kGroups = {
    {"01", "GÊNEROS ALIMENTÍCIOS"}, {"02", "DESCARTÁVEIS"}, {"03", "MATERIAL DE LIMPEZA"}};

const std::vector<Subgroup>& subgroups() {
    static const std::vector<Subgroup> all = {
        {"0101", "CEREAIS E GRÃOS", "000001", "A01", false,
         {{"ARROZ AGULHINHA TIPO 1", "KG"}, {"ARROZ INTEGRAL", "KG"}, {"FEIJÃO CARIOCA", "KG"},
          {"FEIJÃO PRETO", "KG"}, {"LENTILHA", "KG"}, {"GRÃO DE BICO", "KG"}, {"MILHO DE PIPOCA", "KG"},
          {"AVEIA EM FLOCOS", "KG"}, {"FARINHA DE TRIGO", "KG"}, {"FARINHA DE MANDIOCA", "KG"}, {"FUBÁ", "KG"},
          {"MACARRÃO ESPAGUETE", "KG"}}},
        {"0102", "CARNES E AVES", "000002", "CF1", true,
         {{"CARNE BOVINA ACÉM", "KG"}, {"CARNE BOVINA PATINHO", "KG"}, {"CARNE BOVINA COXÃO MOLE", "KG"},
          {"CARNE MOÍDA", "KG"}, {"FRANGO INTEIRO", "KG"}, {"PEITO DE FRANGO", "KG"},
          {"COXA E SOBRECOXA", "KG"}, {"LOMBO SUÍNO", "KG"}, {"LINGUIÇA TOSCANA", "KG"},
          {"FILÉ DE TILÁPIA", "KG"}, {"OVOS", "DZ"}, {"FÍGADO BOVINO", "KG"}}},
        {"0103", "HORTIFRUTIGRANJEIROS", "000002", "CF2", false,
         {{"ALFACE CRESPA", "UN"}, {"TOMATE", "KG"}, {"CEBOLA", "KG"}, {"ALHO", "KG"}, {"BATATA INGLESA", "KG"},
          {"CENOURA", "KG"}, {"ABOBRINHA", "KG"}, {"CHUCHU", "KG"}, {"BANANA PRATA", "KG"}, {"MAÇÃ", "KG"},
          {"LARANJA PERA", "KG"}, {"MAMÃO FORMOSA", "KG"}}},
        {"0104", "LATICÍNIOS", "000002", "CF1", true,
         {{"LEITE INTEGRAL", "L"}, {"LEITE DESNATADO", "L"}, {"QUEIJO MUÇARELA", "KG"}, {"QUEIJO PRATO", "KG"},
          {"IOGURTE NATURAL", "L"}, {"MANTEIGA", "KG"}, {"REQUEIJÃO", "KG"}, {"CREME DE LEITE", "KG"},
          {"LEITE CONDENSADO", "KG"}, {"RICOTA", "KG"}}},
        {"0105", "MERCEARIA", "000001", "A02", false,
         {{"AÇÚCAR CRISTAL", "KG"}, {"SAL REFINADO", "KG"}, {"ÓLEO DE SOJA", "L"}, {"AZEITE DE OLIVA", "L"},
          {"VINAGRE", "L"}, {"CAFÉ EM PÓ", "KG"}, {"EXTRATO DE TOMATE", "KG"}, {"MOLHO DE SOJA", "L"},
          {"FERMENTO QUÍMICO", "KG"}, {"CHOCOLATE EM PÓ", "KG"}, {"GELATINA EM PÓ", "KG"}, {"ORÉGANO", "KG"}}},
        {"0106", "BEBIDAS", "000001", "A02", false,
         {{"SUCO DE LARANJA", "L"}, {"SUCO DE UVA", "L"}, {"REFRIGERANTE COLA", "L"}, {"ÁGUA MINERAL", "L"},
          {"CHÁ MATE", "KG"}, {"POLPA DE MARACUJÁ", "KG"}}},
        {"0201", "DESCARTÁVEIS DE COPA", "000001", "B01", false,
         {{"COPO DESCARTÁVEL 200ML", "UN"}, {"GUARDANAPO DE PAPEL", "PCT"}, {"PRATO DESCARTÁVEL", "UN"},
          {"TALHER DESCARTÁVEL", "UN"}, {"MARMITEX Nº 8", "UN"}, {"FILME PVC", "UN"}, {"PAPEL ALUMÍNIO", "UN"},
          {"TOUCA DESCARTÁVEL", "UN"}}},
        {"0301", "LIMPEZA GERAL", "000001", "B01", false,
         {{"DETERGENTE NEUTRO", "L"}, {"DESINFETANTE", "L"}, {"ÁGUA SANITÁRIA", "L"}, {"SABÃO EM PÓ", "KG"},
          {"ESPONJA DUPLA FACE", "UN"}, {"PANO DE CHÃO", "UN"}, {"ÁLCOOL 70%", "L"}, {"SACO DE LIXO 100L", "UN"},
          {"LUVA DE BORRACHA", "UN"}, {"PAPEL TOALHA", "UN"}}},
    };
    return all;
}

// Purchase packages carried by a stock product with a conversion factor.
struct PackDef {
    const char* stockTree;
    const char* tree;
    const char* name;
    const char* unit;
    double factor;
};
const std::vector<PackDef> kPacks = {
    {"0101001", "0101101", "ARROZ PACOTE 5 KG", "PCT", 5},
    {"0101003", "0101102", "FEIJÃO CARIOCA FARDO 30 KG", "FD", 30},
    {"0101012", "0101103", "MACARRÃO ESPAGUETE PACOTE 500 G", "PCT", 0.5},
    {"0102011", "0102101", "OVOS BANDEJA 30 UN", "BDJ", 2.5},
    {"0104001", "0104101", "LEITE INTEGRAL CAIXA 12 L", "CX", 12},
    {"0105001", "0105101", "AÇÚCAR CRISTAL FARDO 10 KG", "FD", 10},
    {"0105003", "0105102", "ÓLEO DE SOJA CAIXA 20 X 900 ML", "CX", 18},
    {"0201001", "0201101", "COPO DESCARTÁVEL 200ML CAIXA 2500", "CX", 2500},
    {"0301001", "0301101", "DETERGENTE NEUTRO CAIXA 24 X 500 ML", "CX", 12},
};

struct Product {
    std::string code, tree, name, unit, stock;
    double factor = 1;
    const Subgroup* group = nullptr;
    bool controlsStock = true;
};

struct Dish {
    const char* branch;
    const char* code;
    const char* name;
    const char* type;
};
const std::vector<Dish> kDishes = {
    {"P", "01", "SALADAS", nullptr},
    {"P", "02", "CARNES", nullptr},
    {"P", "03", "ACOMPANHAMENTOS", nullptr},
    {"P", "04", "SOBREMESAS", nullptr},
    {"P", "01001", "SALADA VERDE", "01"},
    {"P", "01002", "SALADA DE TOMATE", "01"},
    {"P", "02001", "BIFE ACEBOLADO", "02"},
    {"P", "02002", "FRANGO GRELHADO", "02"},
    {"P", "03001", "ARROZ BRANCO", "03"},
    {"P", "03002", "FEIJÃO CARIOCA", "03"},
    {"P", "04001", "GELATINA", "04"},
    {"P", "04002", "FRUTA DA ESTAÇÃO", "04"},
    {"0001", "02003", "FILÉ DE TILÁPIA ASSADO", "02"},
    {"0001", "03003", "PURÊ DE BATATA", "03"},
    {"0001", "04003", "PUDIM DA CASA", "04"},
    {"0002", "02003", "ESCONDIDINHO DE CARNE", "02"},
    {"0002", "03003", "FAROFA DE MANDIOCA", "03"},
};

// The dishes a menu of the branch offers, with the ingredients each withdraws.
struct MenuDish {
    const char* type;
    const char* branch;  // "P" or the branch
    const char* dish;
    std::vector<const char*> products;  // tree codes
};
std::vector<MenuDish> menuOf(const std::string& branch) {
    std::vector<MenuDish> m = {
        {"01", "P", "01001", {"0103001", "0105004"}},
        {"02", "P", "02001", {"0102001", "0103003"}},
        {"03", "P", "03001", {"0101001", "0105003"}},
        {"03", "P", "03002", {"0101003"}},
        {"04", "P", "04002", {"0103009", "0103010"}},
    };
    if (branch == "0001") m.push_back({"02", "0001", "02003", {"0102010", "0103002"}});
    if (branch == "0002") m.push_back({"02", "0002", "02003", {"0102004", "0103005"}});
    return m;
}

class Generator {
public:
    Generator(db::SqlConnection& conn, uint32_t seed, TDateTime today)
        : c_(conn), dice_(seed), today_(today.DateOnly()) {}

    void Run() {
        auto any = c_.Query("SELECT COUNT(*) FROM FILIAL");
        if (any.rows[0][0].AsInteger() != 0)
            throw Exception("The database already holds branches; demo data goes into an empty database only");
        db::Transaction t(c_);
        general();
        branches();
        services();
        products();
        withdrawalTypes();
        dishes();
        storerooms();
        operators();
        stock();
        menusAndRequisitions();
        withdrawals();
        offline();
        inventories();
        headerPaths();
        dateWindowBranches();
        sequences();
        RebuildDailyBalances(c_);  // the ledger was written in bulk above
        t.Commit();
    }

private:
    db::SqlConnection& c_;
    Dice dice_;
    TDateTime today_;
    std::vector<Product> products_;
    std::map<std::string, const Product*> byTree_;
    std::map<std::pair<std::string, std::string>, double> cost_;  // (branch, product) -> unit cost
    std::map<std::pair<std::string, std::string>, int64_t> seq_;
    std::map<std::pair<std::string, std::string>, std::string> menu_;  // (branch, service+date) -> NRCARDAPIO

    std::string next(const std::string& branch, const std::string& seq, int width = 10) {
        return FormatNumber(++seq_[{branch, seq}], width);
    }
    TDateTime day(int offset) const { return IncDay(today_, offset); }
    static std::string seqItem(int n) { return FormatNumber(n, 4); }
    const Product& tree(const std::string& t) const { return *byTree_.at(t); }

    void general() {
        // Withdrawal types come first: the branches' stock parameters name a default one.
        for (auto [c, n] : {std::pair{"01", "CONSUMO NORMAL"}, std::pair{"02", "DESCARTÁVEIS"},
                            std::pair{"03", "LIMPEZA"}, std::pair{"04", "DEGUSTAÇÃO"}, std::pair{"05", "PERDA / QUEBRA"}})
            c_.Execute("INSERT INTO TIPORETI (CDTIPORETI, NMTIPORETI) VALUES (:C, :N)", {{"C", c}, {"N", n}});
        c_.Execute("INSERT INTO PARAMGERAL (CDPARAMGERAL, IDCACHPRODFI, DSPICTPROD, DSPICTPRAT) VALUES ('1', 'S', :P, :D)",
                   {{"P", kProductPicture}, {"D", kDishPicture}});
        for (auto [code, name] : {std::pair{"REFEICAO", "REFEIÇÕES"}, std::pair{"DIETA", "DIETAS"},
                                  std::pair{"LANCHE", "LANCHES"}})
            c_.Execute("INSERT INTO GRUPSERV (CDGRUPSERV, NMGRUPSERV) VALUES (:C, :N)", {{"C", code}, {"N", name}});
        c_.Execute("INSERT INTO DIREITO (CDDIREITO, DSDIREITO) VALUES (:C, 'Alteração de retirada')", {{"C", kRightAlter}});
        c_.Execute("INSERT INTO DIREITO (CDDIREITO, DSDIREITO) VALUES (:C, 'Exclusão de retirada')", {{"C", kRightDelete}});
        c_.Execute("INSERT INTO DIREITO (CDDIREITO, DSDIREITO) VALUES ('LIBERACAO_DATA', 'Liberação de alteração na data')");
        c_.Execute("INSERT INTO DIREITO (CDDIREITO, DSDIREITO) VALUES ('ESTOQUE_IRREGULAR', 'Autorização de estoque irregular')");
    }

    void branch(const char* code, const char* name, Variant offline) {
        c_.Execute(
            "INSERT INTO FILIAL (CDFILIAL, NMFILIAL, IDCNTRRESC, CDEMPRESA, CDINSCMUNI, CDINSCESTA, IDUTILOFFLINE)"
            " VALUES (:F, :N, 'S', '01', :M, :E, :O)",
            {{"F", code}, {"N", name}, {"M", std::string("3106200") + code}, {"E", std::string("06200") + code + "0081"},
             {"O", offline}});
        c_.Execute("INSERT INTO DATAPROC (CDFILIAL, DTPROCESSA) VALUES (:F, :D)", {{"F", code}, {"D", today_}});
    }

    void stockParams(const char* f, const char* online, const char* negative, const char* control,
                     const char* cardDiff, Variant menFil, Variant daysFil, Variant maiFil, Variant daysPdFil,
                     const char* menGeneral = "S", const char* maiGeneral = "S") {
        c_.Execute(
            "INSERT INTO PARAMESTOQUE (CDFILIAL, IDORDEREQU, NRNIVEREQU, IDUTREQUPRAT, IDUTCODBARRA, IDESTONLINE,"
            " IDPERMESTNEG, IDCTRLESTQ, IDLANCDTMEN, IDLANCDTMAI, IDCONAUTIRRG, NRDIASSAID, NRDIASSAIDPD,"
            " IDUTCODBARFI, IDCARDIFRETI, CDTPRETIPADR, CDTIPCUSTEST, IDLANCDTMENFIL, NRDIASSAIDFIL,"
            " IDLANCDTMAIFIL, NRDIASSAIDPDFIL)"
            " VALUES (:F, 'A', '3', 'S', 'N', :ON, :NEG, :CT, :MG, :XG, 'N', 7, 2, 'N', :CD, '01', '1',"
            " :MF, :DF, :XF, :PF)",
            {{"F", f}, {"ON", online}, {"NEG", negative}, {"CT", control}, {"CD", cardDiff}, {"MF", menFil},
             {"DF", daysFil}, {"XF", maiFil}, {"PF", daysPdFil}, {"MG", menGeneral}, {"XG", maiGeneral}});
    }

    void branches() {
        branch(kBranchLocations, "FILIAL CENTRAL", Variant());
        branch(kBranchPlain, "FILIAL NORTE", "");
        branch(kBranchOffline, "FILIAL OFF-LINE", "S");
        branch(kBranchNoStock, "FILIAL SEM ESTOQUE", "N");
        stockParams(kBranchLocations, "S", "N", "S", "S", "S", 3.0, "S", 1.0);
        stockParams(kBranchPlain, "N", "S", "S", "N", Variant(), Variant(), Variant(), Variant());
        stockParams(kBranchOffline, "S", "S", "S", "S", "N", 0.0, "N", 0.0);
        stockParams(kBranchNoStock, "N", "N", "N", "S", Variant(), Variant(), Variant(), Variant());
        const char* pf = "INSERT INTO PARAMFILIAL (CDFILIAL, IDPERMVISPOSEST, IDBLPRCOMEST, IDUSALOCALIZ) VALUES (:F, :V, :B, :L)";
        c_.Execute(pf, {{"F", kBranchLocations}, {"V", "S"}, {"B", "N"}, {"L", "S"}});
        c_.Execute(pf, {{"F", kBranchPlain}, {"V", "N"}, {"B", "S"}, {"L", "N"}});
        c_.Execute(pf, {{"F", kBranchOffline}, {"V", "S"}, {"B", "N"}, {"L", "N"}});
        c_.Execute(pf, {{"F", kBranchNoStock}, {"V", "N"}, {"B", "N"}, {"L", "N"}});
    }

    void service(const char* f, const char* code, const char* name, Variant active, const char* type,
                 const char* group, const char* byDish, const char* lockDish, const char* blockAdd) {
        c_.Execute(
            "INSERT INTO SERVICO (CDFILIAL, CDSERVFILI, NMSERVICO, IDSERVATIV, IDTIPOSERV, CDGRUPSERV, IDUTRETIPRAT,"
            " IDBLOQALTPRA, IDBLOQINCPRODRETIPLA) VALUES (:F, :C, :N, :A, :T, :G, :D, :L, :B)",
            {{"F", f}, {"C", code}, {"N", name}, {"A", active}, {"T", type}, {"G", group}, {"D", byDish},
             {"L", lockDish}, {"B", blockAdd}});
    }

    void services() {
        for (const char* f : {kBranchLocations, kBranchPlain, kBranchOffline, kBranchNoStock}) {
            service(f, kServiceByDish, "ALMOÇO", "S", "N", "REFEICAO", "S", "N", "N");
            service(f, kServicePlain, "JANTAR", "S", "N", "REFEICAO", "N", "N", "N");
            if (std::string(f) != kBranchLocations && std::string(f) != kBranchPlain) continue;
            service(f, kServiceDiet, "DIETA HOSPITALAR", "S", "D", "DIETA", "N", "N", "N");
            service(f, kServiceBlockedAdd, "CAFÉ DA MANHÃ", "S", "N", "LANCHE", "N", "N", "S");
            service(f, kServiceInactive, "CEIA", "N", "N", "LANCHE", "N", "N", "N");
            service(f, kServiceOccasional, "LANCHE AVULSO", Variant(), "A", "LANCHE", "N", "N", "N");
        }
        service(kBranchLocations, kServiceDishLocked, "ALMOÇO EXECUTIVO", "S", "N", "REFEICAO", "S", "S", "N");
    }

    void product(const Product& p, const char* level) {
        c_.Execute(
            "INSERT INTO PRODUTO (CDPRODUTO, CDARVPROD, NMPRODUTO, CDNVPRODUTO, SGUNIDADE, CDPRODESTO, VRFATOCONV,"
            " IDCNTRESTOQ) VALUES (:C, :A, :N, :L, :U, :E, :F, :S)",
            {{"C", p.code}, {"A", p.tree}, {"N", p.name}, {"L", level}, {"U", p.unit.empty() ? Variant() : Variant(p.unit)},
             {"E", p.stock}, {"F", p.factor}, {"S", p.controlsStock ? "S" : "N"}});
    }

    void products() {
        int groupNo = 900000;
        auto groupProduct = [&](const std::string& treeCode, const std::string& name) {
            Product g;
            g.code = std::to_string(++groupNo);
            g.tree = treeCode;
            g.name = name;
            g.stock = g.code;
            product(g, treeCode.size() == 2 ? "1" : "2");
            groupCodes_[treeCode] = g.code;
        };
        for (auto [t, n] : kGroups) groupProduct(t, n);
        int stockNo = 100000;
        products_.reserve(128);
        for (const Subgroup& sg : subgroups()) {
            groupProduct(sg.tree, sg.name);
            int n = 0;
            for (const ProductDef& d : sg.items) {
                Product p;
                p.code = std::to_string(++stockNo);
                p.tree = std::string(sg.tree) + FormatNumber(++n, 3);
                p.name = d.name;
                p.unit = d.unit;
                p.stock = p.code;
                p.group = &sg;
                p.controlsStock = p.tree != kProductNoStockControl;
                products_.push_back(p);
            }
        }
        int packNo = 200000;
        std::map<std::string, std::string> stockOf;
        for (const Product& p : products_) stockOf[p.tree] = p.code;
        size_t stockCount = products_.size();
        for (const PackDef& k : kPacks) {
            Product p;
            p.code = std::to_string(++packNo);
            p.tree = k.tree;
            p.name = k.name;
            p.unit = k.unit;
            p.stock = stockOf.at(k.stockTree);
            p.factor = k.factor;
            for (size_t i = 0; i < stockCount; ++i)
                if (products_[i].tree == k.stockTree) p.group = products_[i].group;
            products_.push_back(p);
        }
        for (const Product& p : products_) {
            product(p, "3");
            byTree_[p.tree] = &p;
        }
        for (const char* f : {kBranchLocations, kBranchPlain, kBranchOffline, kBranchNoStock}) {
            for (const Product& p : products_) {
                bool inactive = (std::string(f) == kBranchLocations && (p.tree == kProductInactive0001 ||
                                                                      p.tree == "0102012")) ||
                                (std::string(f) == kBranchPlain && p.stock == p.code && dice_.Chance(4));
                double unitCost = p.stock == p.code ? dice_.Money(1.5, 45.0) : 0;
                cost_[{f, p.code}] = unitCost;
                c_.Execute(
                    "INSERT INTO PRODFILI (CDFILIAL, CDPRODUTO, IDPRODATIV, QTESTOQMIN, VRCUSTOPROD)"
                    " VALUES (:F, :P, :A, :M, :C)",
                    {{"F", f}, {"P", p.code}, {"A", inactive ? "I" : "A"}, {"M", static_cast<double>(dice_.Between(0, 20))},
                     {"C", unitCost}});
            }
            // A package costs what its contents cost.
            for (const Product& p : products_)
                if (p.stock != p.code) {
                    cost_[{f, p.code}] = cost_[{f, p.stock}] * p.factor;
                    c_.Execute("UPDATE PRODFILI SET VRCUSTOPROD = :C WHERE CDFILIAL = :F AND CDPRODUTO = :P",
                               {{"C", cost_[{f, p.code}]}, {"F", f}, {"P", p.code}});
                }
        }
    }
    std::map<std::string, std::string> groupCodes_;

    void withdrawalTypes() {
        const char* pr = "INSERT INTO PRODRETI (CDTIPORETI, CDPRODRETI) VALUES (:T, :P)";
        c_.Execute(pr, {{"T", kTypeDisposables}, {"P", groupCodes_.at(kGroupDisposables)}});
        c_.Execute(pr, {{"T", kTypeCleaning}, {"P", groupCodes_.at(kGroupCleaning)}});
        c_.Execute(pr, {{"T", "04"}, {"P", tree("0103009").code}});
        c_.Execute(pr, {{"T", "04"}, {"P", tree("0104003").code}});
    }

    void dishes() {
        for (auto [c, n] : {std::pair{"01", "ENTRADA"}, std::pair{"02", "PRATO PRINCIPAL"}, std::pair{"03", "GUARNIÇÃO"},
                            std::pair{"04", "SOBREMESA"}, std::pair{"05", "BEBIDA"}})
            c_.Execute("INSERT INTO TIPOPRAT (CDTIPOPRAT, NMTIPOPRAT) VALUES (:C, :N)", {{"C", c}, {"N", n}});
        for (const Dish& d : kDishes)
            c_.Execute(
                "INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO, CDTIPOPRAT) VALUES (:F, :C, :N, :L, :T)",
                {{"F", d.branch}, {"C", d.code}, {"N", d.name}, {"L", std::strlen(d.code) == 2 ? "1" : "2"},
                 {"T", d.type ? Variant(d.type) : Variant()}});
    }

    void storerooms() {
        const char* a = "INSERT INTO ALMOXARIFE (CDFILIAL, CDALMOXARIFE, DSALMOXARIFE) VALUES ('0001', :C, :N)";
        c_.Execute(a, {{"C", "000001"}, {"N", "ALMOXARIFADO CENTRAL"}});
        c_.Execute(a, {{"C", "000002"}, {"N", "CÂMARA FRIA"}});
        const char* l = "INSERT INTO LOCALESTOQ (CDFILIAL, CDALMOXARIFE, CDLOCALESTOQ, DSLOCALESTOQ) VALUES ('0001', :A, :C, :N)";
        c_.Execute(l, {{"A", "000001"}, {"C", "A01"}, {"N", "PRATELEIRA A1"}});
        c_.Execute(l, {{"A", "000001"}, {"C", "A02"}, {"N", "PRATELEIRA A2"}});
        c_.Execute(l, {{"A", "000001"}, {"C", "B01"}, {"N", "DEPÓSITO B1"}});
        c_.Execute(l, {{"A", "000002"}, {"C", "CF1"}, {"N", "CÂMARA 1 (CONGELADOS)"}});
        c_.Execute(l, {{"A", "000002"}, {"C", "CF2"}, {"N", "CÂMARA 2 (RESFRIADOS)"}});
    }

    static const std::string& passwordHash(const std::string& op) {
        // The demo uses a fixed salt per operator, so the slow hash is computed
        // once per process however many demo databases a test run creates.
        static std::mutex m;
        static std::map<std::string, std::string> cache;
        std::lock_guard lock(m);
        auto it = cache.find(op);
        if (it == cache.end()) it = cache.emplace(op, HashPassword(text::Lower(op), "pla-demo-" + op)).first;
        return it->second;
    }

    void operators() {
        struct Op {
            const char* code;
            const char* name;
            const char* branch;
            std::vector<const char*> rights;
        };
        std::vector<Op> ops = {
            {kOperator, "OPERADOR DE DEMONSTRAÇÃO", nullptr,
             {kRightAlter, kRightDelete, "LIBERACAO_DATA", "ESTOQUE_IRREGULAR"}},
            {kOperatorAllRights, "ANA SOUZA", kBranchLocations, {kRightAlter, kRightDelete}},
            {kOperatorNoRights, "BRUNO LIMA", kBranchLocations, {}},
            {kOperatorAlterOnly, "CARLA DIAS", kBranchPlain, {kRightAlter}},
        };
        for (const Op& o : ops) {
            c_.Execute("INSERT INTO OPERADOR (CDOPERADOR, NMOPERADOR, DSSENHA, CDFILIAL, IDATIVO) VALUES (:C, :N, :S, :F, 'S')",
                       {{"C", o.code}, {"N", o.name}, {"S", passwordHash(o.code)},
                        {"F", o.branch ? Variant(o.branch) : Variant()}});
            for (const char* r : o.rights)
                c_.Execute("INSERT INTO OPERDIREITO (CDOPERADOR, CDDIREITO) VALUES (:C, :R)", {{"C", o.code}, {"R", r}});
        }
    }

    struct Place {
        std::string storeroom = " ", location = " ", lot = " ";
    };
    Place placeOf(const std::string& f, const Product& p) const {
        Place pl;
        if (f == kBranchLocations && p.group) {
            pl.storeroom = p.group->storeroom;
            pl.location = p.group->location;
            if (p.group->lots) pl.lot = "L" + p.tree.substr(4) + "A";
        }
        return pl;
    }

    void movement(const std::string& f, const Product& p, TDateTime date, char kind, double qty, double cost,
                  const std::string& posting = "", const std::string& item = "") {
        Place pl = placeOf(f, p);
        c_.Execute(
            "INSERT INTO MOVIESTQ (CDFILIAL, NRMOVIESTQ, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE,"
            " DTMOVIESTQ, IDTIPOMOVI, QTMOVIESTQ, VRCUSTOUNIT, NRLANCESTQ, NRSEQUITEM)"
            " VALUES (:F, :N, :P, :A, :L, :LT, ' ', :D, :K, :Q, :C, :NL, :NS)",
            {{"F", f}, {"N", static_cast<long long>(++seq_[{f, kSeqMovimento}])}, {"P", p.stock},
             {"A", pl.storeroom}, {"L", pl.location}, {"LT", pl.lot}, {"D", date}, {"K", std::string(1, kind)},
             {"Q", qty}, {"C", cost}, {"NL", posting.empty() ? Variant() : Variant(posting)},
             {"NS", item.empty() ? Variant() : Variant(item)}});
    }

    void stock() {
        for (const char* f : {kBranchLocations, kBranchPlain, kBranchOffline}) {
            for (const Product& p : products_) {
                if (p.stock != p.code || !p.controlsStock) continue;
                // A few products have no stock at all, so the screen's stock checks have something to say.
                if (dice_.Chance(5)) continue;
                double cost = cost_[{f, p.code}];
                movement(f, p, day(-30), 'E', dice_.Between(40, 400), cost);
                int exits = dice_.Between(0, 3);
                for (int i = 0; i < exits; ++i)
                    movement(f, p, day(-dice_.Between(3, 25)), 'S', -static_cast<double>(dice_.Between(1, 12)), cost);
            }
        }
    }

    std::string menu(const std::string& f, const std::string& service, TDateTime date) {
        auto key = std::pair{f, service + SqlDate(date)};
        auto it = menu_.find(key);
        if (it != menu_.end()) return it->second;
        std::string nr = next(f, kSeqCardapio);
        c_.Execute("INSERT INTO CARDAPIO (CDFILIAL, NRCARDAPIO, CDSERVFILI, DTCARDAPIO) VALUES (:F, :N, :S, :D)",
                   {{"F", f}, {"N", nr}, {"S", service}, {"D", date}});
        if (service == kServiceByDish)
            for (const MenuDish& d : menuOf(f))
                c_.Execute(
                    "INSERT INTO ITCARDAPIO (CDFILIAL, NRCARDAPIO, CDTIPOPRAT, CDFILAUXPRAT, CDPRATO) VALUES (:F, :N, :T, :B, :P)",
                    {{"F", f}, {"N", nr}, {"T", d.type}, {"B", d.branch}, {"P", d.dish}});
        menu_[key] = nr;
        return nr;
    }
    static std::string SqlDate(TDateTime d) { return db::SqlDateText(d); }

    void requisition(const std::string& f, const std::string& service, TDateTime date, const std::string& nr) {
        bool byDish = service == kServiceByDish;
        c_.Execute(
            "INSERT INTO PREVRETI (CDFILIAL, CDSERVFILI, DTPREVRETI, NRREQUEXTR, IDPREVTPPRAT) VALUES (:F, :S, :D, :N, :T)",
            {{"F", f}, {"S", service}, {"D", date}, {"N", nr}, {"T", byDish ? "S" : "N"}});
        const char* ins =
            "INSERT INTO ITPREVRETI (CDFILIAL, CDSERVFILI, DTPREVRETI, NRREQUEXTR, NRSEQUITEM, CDPRODUTO, CDTIPOPRAT,"
            " CDFILAUXPRAT, CDPRATO, QTPREVISRETI) VALUES (:F, :S, :D, :N, :I, :P, :T, :B, :PR, :Q)";
        int item = 0;
        auto add = [&](const Product& p, const char* type, const char* dishBranch, const char* dish) {
            c_.Execute(ins, {{"F", f}, {"S", service}, {"D", date}, {"N", nr}, {"I", seqItem(++item)}, {"P", p.code},
                             {"T", type}, {"B", dishBranch}, {"PR", dish}, {"Q", static_cast<double>(dice_.Between(2, 30))}});
        };
        if (byDish) {
            for (const MenuDish& d : menuOf(f))
                for (const char* t : d.products) add(tree(t), d.type, d.branch, d.dish);
        } else {
            // Distinct stock products, spread over the groups.
            const int stockProducts = static_cast<int>(products_.size() - kPacks.size());
            int n = dice_.Between(4, 7), start = dice_.Between(0, stockProducts - 1);
            for (int i = 0; i < n; ++i)
                add(products_[static_cast<size_t>((start + i * 11) % stockProducts)], " ", " ", " ");
        }
    }

    void menusAndRequisitions() {
        for (const char* f : {kBranchLocations, kBranchPlain}) {
            for (int d = -2; d <= 2; ++d) {
                for (const char* s : {kServiceByDish, kServicePlain, kServiceDiet}) {
                    menu(f, s, day(d));
                    if (d >= -1 && d <= 1) requisition(f, s, day(d), "0000000000");
                }
            }
            // Extra requisitions around today, numbered per branch.
            requisition(f, kServicePlain, day(-1), next(f, kSeqRequisicao));
            requisition(f, kServicePlain, day(0), next(f, kSeqRequisicao));
            requisition(f, kServiceDiet, day(0), next(f, kSeqRequisicao));
            requisition(f, kServiceByDish, day(1), next(f, kSeqRequisicao));
        }
    }

    struct Item {
        const Product* p;
        double planned, extra, returned;
        const char* type = "01";
        const char* dishType = nullptr;
        const char* dishBranch = nullptr;
        const char* dish = nullptr;
        bool posted = true;
    };

    void withdrawal(const std::string& f, const std::string& service, TDateTime date, const std::string& requisition,
                    std::vector<Item> items, const char* op) {
        bool byDish = service == kServiceByDish;
        std::string nrRet = next(f, kSeqRetirada), nrLanc = next(f, kSeqLanctoEst);
        std::string nrCard = menu(f, service, date);
        c_.Execute(
            "INSERT INTO LANCTOEST (CDFILIAL, NRLANCESTQ, CDFILIMOVI, IDTPLANCTO, DTLANCESTQ, DSLANCESTQ, NRRETIRADA,"
            " NRCARDAPIO, DTRETIRADA, NRREQUEXTRRE, CDSERVFILI, DTCARDAPIO, CDOPERADOR, DTMESCARD, CDFILANCESTQ,"
            " NRLANCTONF, NRSEQUITRETI, IDRETIPRAT) VALUES (:F, :L, :F, 'R', :D, :DS, :R, :C, :D, :RQ, :S, :D, :O,"
            " :M, :F, NULL, :NI, :P)",
            {{"F", f}, {"L", nrLanc}, {"D", date}, {"DS", "RETIRADA DO SERVIÇO " + service}, {"R", nrRet},
             {"C", nrCard}, {"RQ", requisition}, {"S", service}, {"O", op}, {"M", FirstDayOfMonth(date)},
             {"NI", seqItem(static_cast<int>(items.size()))}, {"P", byDish ? "S" : "N"}});
        int n = 0;
        std::map<std::string, bool> dishRows;
        for (const Item& it : items) {
            const Product& p = *it.p;
            std::string seq = seqItem(++n);
            double consumed = it.planned + it.extra - it.returned;
            double cost = cost_[{f, p.code}];
            Place pl = placeOf(f, tree(treeOfStock(p)));
            c_.Execute(
                "INSERT INTO ITLANCTOEST (CDFILIAL, NRLANCESTQ, NRSEQUITEM, CDPRODUTO, CDPRODMOVI, CDTIPORETI,"
                " QTPREVISRETI, QTEXTRARETI, QTDEVOLVRETI, QTTOTLANCTO, QTRETIRADA, QTLANCTOEST, QTSALDORETIRADA,"
                " VRUNILANCTO, VRTOTLANCTO, VRQTDEANT, IDTIPOMOVI, DTLANCMOVI, IDORDEMCLC, NRRETIRADA, NRCARDAPIO,"
                " NRSEQUITRETI, CDFILIMOVI, CDFIITLANEST, NRLANCESTRT, NRSEQUIITRT, CDFILIRETI, IDEVOLESTOQ,"
                " CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE, IDSTATUS, CDTIPOPRAT, CDPRATO, CDFILAUXPRAT)"
                " VALUES (:F, :L, :I, :P, :PM, :T, :QP, :QE, :QD, :QT, :QT, :QL, 0, :VU, :VT, 0, 'S', :D, '1', :R,"
                " :C, :I, :F, :F, :L, :I, :F, :EV, :A, :LO, :LT, ' ', 'N', :TP, :PR, :FP)",
                {{"F", f}, {"L", nrLanc}, {"I", seq}, {"P", p.code}, {"PM", p.stock}, {"T", it.type},
                 {"QP", it.planned}, {"QE", it.extra}, {"QD", it.returned}, {"QT", consumed},
                 {"QL", consumed * p.factor}, {"VU", cost}, {"VT", std::round(consumed * cost * 100) / 100},
                 {"D", date}, {"R", nrRet}, {"C", nrCard}, {"EV", it.posted ? "S" : "N"}, {"A", pl.storeroom},
                 {"LO", pl.location}, {"LT", pl.lot}, {"TP", it.dishType ? Variant(it.dishType) : Variant()},
                 {"PR", it.dish ? Variant(it.dish) : Variant()}, {"FP", it.dishBranch ? Variant(it.dishBranch) : Variant()}});
            if (it.posted && p.controlsStock)
                movement(f, tree(treeOfStock(p)), date, 'S', -consumed * p.factor, cost_[{f, p.stock}], nrLanc, seq);
            if (it.dish) dishRows[std::string(it.dishType) + "|" + it.dishBranch + "|" + it.dish] = true;
        }
        for (const auto& [key, unused] : dishRows) {
            auto parts = text::Split(key, '|');
            c_.Execute(
                "INSERT INTO RETITIPOPRAT (CDFILIAL, NRRETIRADA, CDTIPOPRAT, CDFILAUXPRAT, CDPRATO, IDSTATUS)"
                " VALUES (:F, :R, :T, :B, :P, 'N')",
                {{"F", f}, {"R", nrRet}, {"T", parts[0]}, {"B", parts[1]}, {"P", parts[2]}});
        }
    }
    std::string treeOfStock(const Product& p) const {
        for (const Product& q : products_)
            if (q.code == p.stock) return q.tree;
        return p.tree;
    }

    double qty() { return dice_.Between(2, 15); }

    void withdrawals() {
        const std::string f = kBranchLocations;
        withdrawal(f, kServicePlain, day(-1), "0000000000",
                   {{&tree("0101001"), qty(), 0, 0}, {&tree("0101003"), qty(), 1, 0}, {&tree("0102005"), qty(), 0, 1},
                    {&tree("0201001"), qty(), 0, 0, kTypeDisposables}},
                   kOperator);
        std::vector<Item> byDish;
        for (const MenuDish& d : menuOf(f))
            for (const char* t : d.products) {
                Item it{&tree(t), qty(), 0, 0};
                it.dishType = d.type;
                it.dishBranch = d.branch;
                it.dish = d.dish;
                byDish.push_back(it);
            }
        withdrawal(f, kServiceByDish, day(-1), "0000000000", byDish, kOperatorAllRights);
        Item pending{&tree("0105003"), qty(), 0, 0};
        pending.posted = false;
        // Items are the branch's own stock products, as the screen takes them (a package is refused there).
        withdrawal(f, kServicePlain, day(0), FormatNumber(2, 10),
                   {{&tree("0103002"), qty(), 2, 0}, {&tree("0101012"), 1, 0, 0}, pending}, kOperator);
        withdrawal(kBranchPlain, kServicePlain, day(0), "0000000000",
                   {{&tree("0101001"), qty(), 0, 0}, {&tree("0104001"), qty(), 0, 0},
                    {&tree("0301002"), 2, 0, 0, kTypeCleaning}},
                   kOperatorAlterOnly);
    }

    void offline() {
        const char* r = "INSERT INTO RETIRADA (CDFILIAL, NRRETIRADA, CDSERVFILI, DTRETIRADA, DTCARDAPIO, CDOPERADOR)"
                        " VALUES (:F, :N, :S, :D, :D, :O)";
        c_.Execute(r, {{"F", kBranchOffline}, {"N", "OFF0000001"}, {"S", kServiceByDish}, {"D", day(-1)}, {"O", kOperator}});
        c_.Execute(r, {{"F", kBranchOffline}, {"N", "OFF0000002"}, {"S", kServicePlain}, {"D", day(-1)}, {"O", kOperator}});
    }

    void inventories() {
        const char* inv = "INSERT INTO INVENTARIO (CDFILIAL, NRINVENTARIO, DTINVENTARIO, IDSITUACAO) VALUES (:F, :N, :D, :S)";
        const char* it = "INSERT INTO ITINVENTARIO (CDFILIAL, NRINVENTARIO, CDPRODESTO, CDALMOXARIFE, CDLOCALESTOQ, QTCONTADA)"
                         " VALUES (:F, :N, :P, :A, :L, :Q)";
        std::string closed = next(kBranchLocations, "INVENTARIO"), open = next(kBranchLocations, "INVENTARIO");
        c_.Execute(inv, {{"F", kBranchLocations}, {"N", closed}, {"D", day(-31)}, {"S", "F"}});
        c_.Execute(it, {{"F", kBranchLocations}, {"N", closed}, {"P", tree("0101001").code}, {"A", "000001"},
                        {"L", "A01"}, {"Q", 10.0}});
        c_.Execute(inv, {{"F", kBranchLocations}, {"N", open}, {"D", today_}, {"S", "A"}});
        c_.Execute(it, {{"F", kBranchLocations}, {"N", open}, {"P", tree(kProductInventory0001).code}, {"A", "000001"},
                        {"L", "A02"}, {"Q", Variant()}});
    }

    // What the header's checks need beyond the withdrawals above. Drawn after
    // everything else, so the quantities and costs above stay as the seed gives them.
    void headerPaths() {
        for (const char* f : {kBranchLocations, kBranchPlain}) {
            requisition(f, kServicePlain, day(kFarRequisitionDay), next(f, kSeqRequisicao));
            requisition(f, kServiceBlockedAdd, day(0), "0000000000");
        }
        c_.Execute("INSERT INTO IMPLANTESTQ (CDFILIAL, DTIMPLANTA, CDOPERADOR, DTHRIMPLANTA) VALUES (:F, :D, :O, :H)",
                   {{"F", kBranchLocations}, {"D", day(kImplantedDay)}, {"O", kOperator}, {"H", day(kImplantedDay + 1)}});
        c_.Execute("INSERT INTO SERVDIETAPADR (CDFILIAL, CDSERVFILI, CDDIETA, NMDIETA) VALUES (:F, :S, 'BRANDA', :N)",
                   {{"F", kBranchLocations}, {"S", kServiceDiet}, {"N", "DIETA BRANDA"}});
    }

    // One branch per remaining combination of the later/earlier date flags
    // (0001 and 0002 have the others), and one held by a general inventory:
    // services and active products, no stock of their own.
    void dateWindowBranches() {
        struct W {
            const char* code;
            const char* name;
            const char* menGeneral;
            const char* maiGeneral;
            Variant branchFlag;  // both branch flags
        };
        for (const W& w : {W{kBranchStrictLater, "FILIAL SUL", "S", "N", Variant("N")},
                           W{kBranchStrictEarlier, "FILIAL LESTE", "N", "S", Variant("N")},
                           W{kBranchAnyDate, "FILIAL OESTE", "N", "N", Variant()},
                           W{kBranchInventory, "FILIAL EM INVENTÁRIO", "S", "S", Variant()}}) {
            branch(w.code, w.name, "N");
            stockParams(w.code, "N", "S", "S", "S", w.branchFlag, 5.0, w.branchFlag, 5.0, w.menGeneral, w.maiGeneral);
            c_.Execute("INSERT INTO PARAMFILIAL (CDFILIAL, IDPERMVISPOSEST, IDBLPRCOMEST, IDUSALOCALIZ) VALUES (:F, 'N', 'N', 'N')",
                       {{"F", w.code}});
            service(w.code, kServiceByDish, "ALMOÇO", "S", "N", "REFEICAO", "N", "N", "N");
            service(w.code, kServicePlain, "JANTAR", "S", "N", "REFEICAO", "N", "N", "N");
            for (const Product& p : products_) {
                cost_[{w.code, p.code}] = cost_[{kBranchPlain, p.code}];
                c_.Execute("INSERT INTO PRODFILI (CDFILIAL, CDPRODUTO, IDPRODATIV, QTESTOQMIN, VRCUSTOPROD)"
                           " VALUES (:F, :P, 'A', 0, :C)",
                           {{"F", w.code}, {"P", p.code}, {"C", cost_[{w.code, p.code}]}});
            }
        }
        // The withdrawal there predates the count that now holds the branch's stock.
        withdrawal(kBranchInventory, kServicePlain, day(-2), "0000000000",
                   {{&tree("0101001"), 3, 0, 0}, {&tree("0103002"), 2, 0, 0}}, kOperator);
        c_.Execute("INSERT INTO INVENTARIO (CDFILIAL, NRINVENTARIO, DTINVENTARIO, IDSITUACAO) VALUES (:F, :N, :D, 'A')",
                   {{"F", kBranchInventory}, {"N", next(kBranchInventory, "INVENTARIO")}, {"D", day(-1)}});
    }

    void sequences() {
        for (const auto& [key, n] : seq_)
            c_.Execute("INSERT INTO NUMSEQ (CDFILIAL, CDSEQUENCIA, NRULTIMO) VALUES (:F, :S, :N)",
                       {{"F", key.first}, {"S", key.second}, {"N", static_cast<long long>(n)}});
    }
};

}  // namespace

void LoadDemoData(db::SqlConnection& conn, uint32_t seed, TDateTime today) {
    Generator(conn, seed, today).Run();
    LoadRequisitionPaths(conn, today);
    LoadDemoItems(conn, today);
    LoadGeneralWithdrawalPaths(conn);
    LoadDemoSaving(conn, today);
}

}  // namespace store::demo
