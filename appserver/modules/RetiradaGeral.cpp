// The general withdrawal's methods (contract in RetiradaGeral.h).
#include "modules/RetiradaGeral.h"

#include "core/Text.h"
#include "modules/Datasets.h"
#include "modules/ModuleSupport.h"
#include "modules/Modules.h"
#include "modules/RetiradaQueries.h"
#include "store/Sequences.h"

#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace appserver {

namespace ds = datasets;

namespace {

constexpr const char* kPlanned = "0000000000";
constexpr const char* kSeqRetGeral = "RETGERAL";

std::string code(const Variant& v) { return text::Trim(ArgText(v)); }

double round5(double v) { return std::round(v * 100000.0) / 100000.0; }

TDateTime requireDay(const Variant& v, const char* what) {
    TDateTime d;
    if (!ArgDay(v, d)) Fail(std::string("Data ") + what + " não informada para a retirada geral.");
    return d;
}

// "00001_00002_" -> {"00001", "00002"}: pieces between "_" as they are,
// empty ones and repeats dropped, first appearance kept.
std::vector<std::string> splitServices(const std::string& list) {
    std::vector<std::string> out;
    std::set<std::string> seen;
    for (std::string& piece : text::Split(list, '_'))
        if (!piece.empty() && seen.insert(piece).second) out.push_back(std::move(piece));
    return out;
}

std::string joinServices(const std::vector<std::string>& services) {
    std::string s;
    for (const std::string& c : services) s += c + "_";
    return s;
}

struct ServiceRow {
    std::string code, name;
    bool byDish = false;
};

ServiceRow readService(db::SqlConnection& c, const std::string& branch, const std::string& service) {
    auto r = c.Query("SELECT NMSERVICO, IDSERVATIV, IDTIPOSERV, IDUTRETIPRAT FROM SERVICO"
                     " WHERE CDFILIAL = :F AND CDSERVFILI = :S",
                     {{"F", branch}, {"S", service}});
    if (r.Empty()) Fail("Serviço " + service + " não cadastrado na filial " + branch + ".");
    if (code(r.rows[0][1]) == "N") Fail("Serviço " + service + " não habilitado para retiradas.");
    if (code(r.rows[0][2]) == "A") Fail("Serviço " + service + " é avulso e não entra na retirada geral.");
    return {service, code(r.rows[0][0]), code(r.rows[0][3]) == "S"};
}

// The listed services that already have a live withdrawal for the day.
db::SqlResult withdrawnOn(db::SqlConnection& c, const std::string& branch, TDateTime day,
                          const std::vector<std::string>& services) {
    db::SqlResult all = c.Query(std::string("SELECT DISTINCT L.CDSERVFILI, S.NMSERVICO FROM LANCTOEST L"
                                            "  JOIN SERVICO S ON S.CDFILIAL = L.CDFILIAL AND S.CDSERVFILI = L.CDSERVFILI"
                                            " WHERE L.CDFILIAL = :F AND L.DTCARDAPIO >= :D AND L.DTCARDAPIO < :E AND") +
                                    sql::kLiveWithdrawal + " ORDER BY L.CDSERVFILI",
                                {{"F", branch}, {"D", day}, {"E", IncDay(day, 1)}});
    const std::set<std::string> wanted(services.begin(), services.end());
    db::SqlResult out = all;
    out.rows.clear();
    for (auto& row : all.rows)
        if (wanted.count(code(row[0]))) out.rows.push_back(row);
    return out;
}

void requireOperator(const CallContext& ctx, const Variant& given) {
    const std::string op = code(given);
    if (!op.empty() && !ctx.Operator.empty() && !text::SameText(op, ctx.Operator))
        Fail("Operador informado (" + op + ") difere do operador da sessão (" + ctx.Operator + ").");
}

Variant vdRetGeral(CallContext& ctx, VariantArray& a) {
    db::SqlConnection& c = ctx.Db();
    const std::string branch = code(a[0]);
    RequireBranch(c, branch);
    requireOperator(ctx, a[1]);
    const TDateTime day = requireDay(a[2], "da retirada geral").DateOnly();
    const std::vector<std::string> services = splitServices(ArgText(a[3]));
    if (services.empty()) Fail("Nenhum serviço informado para a retirada geral.");
    for (const std::string& s : services) readService(c, branch, s);
    a[3] = Variant(joinServices(services));

    db::SqlResult withdrawn = withdrawnOn(c, branch, day, services);
    if (!withdrawn.Empty()) return VarArrayOf({Variant(BuildPacket(ds::VdRetDia(), withdrawn)), Variant("SERV_RET")});

    const std::string run = store::NextCode(c, branch, kSeqRetGeral);
    c.Execute("INSERT INTO RETGERAL (CDFILIAL, NRRETGERAL, DTRETGERAL, CDOPERADOR, DSLISTASERV, DTHRVERIF)"
              " VALUES (:F, :N, :D, :O, :L, :H)",
              {{"F", branch}, {"N", run}, {"D", day}, {"O", ctx.Operator.empty() ? code(a[1]) : ctx.Operator},
               {"L", joinServices(services)}, {"H", Now()}});
    return VarArrayOf({Variant(EmptyPacket(ds::VdRetDia())), Variant(run)});
}

Variant getRetiradaGeral(db::SqlConnection& c, VariantArray& a) {
    const std::string branch = code(a[0]);
    RequireBranch(c, branch);
    const TDateTime day = requireDay(a[1], "da retirada geral").DateOnly();
    auto r = c.Query("SELECT COUNT(*) FROM LANCTOEST L JOIN ITLANCTOEST I"
                     "   ON I.CDFILIAL = L.CDFILIAL AND I.NRLANCESTQ = L.NRLANCESTQ"
                     " WHERE L.CDFILIAL = :F AND L.DTCARDAPIO >= :D AND L.DTCARDAPIO < :E"
                     "   AND I.IDSTATUS <> 'D' AND I.QTTOTLANCTO IS NOT NULL AND I.QTTOTLANCTO <> 0",
                     {{"F", branch}, {"D", day}, {"E", IncDay(day, 1)}});
    DataPacket p = EmptyPacket(ds::RetiradaGeral());
    p.rows.push_back({{Variant(static_cast<double>(r.rows[0][0].AsInteger()))}, RowChange::Unmodified, {}});
    return Variant(std::move(p));
}

using Dish = std::tuple<std::string, std::string, std::string>;  // type, auxiliary branch, dish

// The dish a service by dish books one kind of consumption under.
struct DefaultDish {
    Dish dish;
    const char* typeKey;
    const char* dishKey;
    bool read = false;
};

class Recalcula {
public:
    Recalcula(CallContext& ctx, VariantArray& a) : ctx_(ctx), c_(ctx.Db()), a_(a) {}

    Variant Run() {
        branch_ = code(a_[1]);
        RequireBranch(c_, branch_);
        requireOperator(ctx_, a_[6]);
        run_ = code(a_[2]);
        auto run = c_.Query("SELECT DTRETGERAL, DSLISTASERV FROM RETGERAL WHERE CDFILIAL = :F AND NRRETGERAL = :N",
                            {{"F", branch_}, {"N", run_}});
        if (run_.empty() || run.Empty())
            Fail("Retirada geral " + (run_.empty() ? std::string("(sem número)") : run_) +
                 " não encontrada na filial " + branch_ + ".");
        TDateTime runDay;
        ArgDay(run.rows[0][0], runDay);
        day_ = runDay.DateOnly();
        if (requireDay(a_[3], "inicial").DateOnly().Val != day_.Val || requireDay(a_[4], "final").DateOnly().Val != day_.Val)
            Fail("As datas informadas não correspondem ao dia da retirada geral " + run_ + " (" + DateToStr(day_) + ").");
        readOptions();
        if (pendingInventory()) Fail("Operação bloqueada! Inventário pendente para a filial.");

        const std::vector<std::string> services = splitServices(ArgText(run.rows[0][1]));
        const db::SqlResult withdrawn = withdrawnOn(c_, branch_, day_, services);
        if (!withdrawn.Empty())
            Fail("Operação bloqueada! O serviço " + code(withdrawn.rows[0][0]) + " já possui retirada para o dia " +
                 DateToStr(day_) + ".");

        // Everything is computed before anything is written: a refusal leaves every requisition as it was.
        std::vector<std::pair<ServiceRow, std::vector<Line>>> plans;
        for (const std::string& s : services) {
            ServiceRow svc = readService(c_, branch_, s);
            plans.emplace_back(svc, linesOf(svc));
        }
        for (const auto& [svc, lines] : plans) write(svc, lines);
        c_.Execute("UPDATE RETGERAL SET IDCALCREQ = :K, DTHRCALC = :H WHERE CDFILIAL = :F AND NRRETGERAL = :N",
                   {{"K", kinds_}, {"H", a_[7].IsNull() ? Variant(Now()) : a_[7]}, {"F", branch_}, {"N", run_}});
        a_[0] = Variant(run_);
        a_[9] = Variant(kinds_);
        return Variant(run_);
    }

private:
    struct Line {
        Dish dish;
        std::string product;
        double quantity = 0;
    };

    CallContext& ctx_;
    db::SqlConnection& c_;
    VariantArray& a_;
    std::string branch_, run_, kinds_, treeFrom_, treeTo_, dishType_, dish_;
    TDateTime day_;
    double factor_ = 1.0;
    DefaultDish fixed_{{}, "TP_CONSFIXO", "PRATO_CONSFIXO"}, perCapita_{{}, "TP_CONSPER", "PRATO_CONSPER"};

    void readOptions() {
        kinds_ = ArgText(a_[9]);
        const bool shaped = kinds_.size() == 3 && (kinds_[0] == 'C' || kinds_[0] == 'X') &&
                            (kinds_[1] == 'F' || kinds_[1] == 'X') && (kinds_[2] == 'P' || kinds_[2] == 'X');
        if (!shaped) Fail("Tipos de consumo inválidos (\"" + kinds_ + "\"): esperados C ou X, F ou X, P ou X.");
        if (kinds_ == "XXX") Fail("Tipo de consumo deve ser informado para recalcular a requisição.");
        if (code(a_[8]) != "A") Fail("Seleção de serviços \"" + code(a_[8]) + "\" não suportada: use A (todos da retirada geral).");
        if (code(a_[10]) != "P") Fail("Requisição \"" + code(a_[10]) + "\" não suportada: só a planejada (P) é recalculada.");
        if (code(a_[11]) != "N") Fail("Modo \"" + code(a_[11]) + "\" não suportado: a requisição recalculada substitui a planejada (N).");
        const double margin = a_[5].IsNull() ? 0.0 : ArgQuantity(a_[5]);
        if (margin < 0 || margin > 100) Fail("Margem de segurança deve estar entre 0 e 100%.");
        factor_ = 1.0 + margin / 100.0;
        treeFrom_ = code(a_[12]);
        treeTo_ = code(a_[13]);
        if (treeTo_.empty()) treeTo_ = "zzzzzzzzzz";
        dishType_ = code(a_[14]);
        dish_ = code(a_[15]);
    }

    bool pendingInventory() {
        return !c_.Query("SELECT 1 FROM INVENTARIO N WHERE N.CDFILIAL = :F AND N.IDSITUACAO = 'A' AND N.DTINVENTARIO < :D"
                         "   AND NOT EXISTS (SELECT 1 FROM ITINVENTARIO I"
                         "                    WHERE I.CDFILIAL = N.CDFILIAL AND I.NRINVENTARIO = N.NRINVENTARIO)",
                         {{"F", branch_}, {"D", IncDay(day_, 1)}})
                    .Empty();
    }

    bool wantedProduct(const std::string& tree) const { return tree >= treeFrom_ && tree <= treeTo_; }
    bool wantedDish(const Dish& d) const {
        return (dishType_.empty() || std::get<0>(d) == dishType_) && (dish_.empty() || std::get<2>(d) == dish_);
    }

    const Dish& defaultDish(DefaultDish& def, const char* prefix) {
        if (!def.read) {
            auto r = c_.Query(std::string("SELECT CDTIPOPRAT") + prefix + ", CDFILAUX" + prefix + ", CDPRATO" + prefix +
                                  " FROM PARAMRETGERAL WHERE CDFILIAL = :F",
                              {{"F", branch_}});
            const std::string type = r.Empty() ? "" : code(r.rows[0][0]);
            if (type.empty()) Fail(def.typeKey);
            const std::string aux = code(r.rows[0][1]), dish = code(r.rows[0][2]);
            if (dish.empty() ||
                c_.Query("SELECT 1 FROM PRATO WHERE CDFILAUXPRAT = :B AND CDPRATO = :P", {{"B", aux}, {"P", dish}}).Empty())
                Fail(def.dishKey);
            def.dish = {type, aux, dish};
            def.read = true;
        }
        return def.dish;
    }

    std::vector<Line> linesOf(const ServiceRow& svc) {
        std::map<std::pair<Dish, std::string>, size_t> at;
        std::vector<Line> out;
        auto add = [&](const Dish& dish, const Variant& product, const Variant& tree, double qty) {
            if (!wantedProduct(code(tree))) return;
            qty *= factor_;
            if (!(qty > 0)) return;
            const auto key = std::pair{svc.byDish ? dish : Dish{" ", " ", " "}, code(product)};
            auto it = at.find(key);
            if (it == at.end()) {
                at[key] = out.size();
                out.push_back({key.first, key.second, qty});
            } else {
                out[it->second].quantity += qty;
            }
        };
        db::SqlParams p = {{"F", branch_}, {"S", svc.code}, {"D", day_}, {"E", IncDay(day_, 1)}};
        auto meals = c_.Query("SELECT QTREFEPREV FROM CARDAPIO WHERE CDFILIAL = :F AND CDSERVFILI = :S"
                              " AND DTCARDAPIO >= :D AND DTCARDAPIO < :E",
                              p);
        const double people = meals.Empty() || meals.rows[0][0].IsNull() ? 0.0 : meals.rows[0][0].AsFloat();

        if (kinds_[0] == 'C') {
            auto r = c_.Query("SELECT I.CDTIPOPRAT, I.CDFILAUXPRAT, I.CDPRATO, I.QTPRATOPREV, F.CDPRODUTO, P.CDARVPROD,"
                              "       F.QTPORCAO"
                              "  FROM CARDAPIO C"
                              "  JOIN ITCARDAPIO I ON I.CDFILIAL = C.CDFILIAL AND I.NRCARDAPIO = C.NRCARDAPIO"
                              "  JOIN FICHATECN F ON F.CDFILAUXPRAT = I.CDFILAUXPRAT AND F.CDPRATO = I.CDPRATO"
                              "  JOIN PRODUTO P ON P.CDPRODUTO = F.CDPRODUTO"
                              " WHERE C.CDFILIAL = :F AND C.CDSERVFILI = :S AND C.DTCARDAPIO >= :D AND C.DTCARDAPIO < :E"
                              " ORDER BY I.CDTIPOPRAT, I.CDFILAUXPRAT, I.CDPRATO, P.CDARVPROD",
                              p);
            for (const auto& row : r.rows) {
                const Dish dish{code(row[0]), code(row[1]), code(row[2])};
                if (!wantedDish(dish)) continue;
                const double portions = row[3].IsNull() ? people : row[3].AsFloat();
                add(dish, row[4], row[5], portions * row[6].AsFloat());
            }
        }
        auto consumption = [&](const char* table, const char* column, DefaultDish& def, const char* prefix,
                               double times) {
            auto r = c_.Query(std::string("SELECT X.CDPRODUTO, P.CDARVPROD, X.") + column + " FROM " + table +
                                  " X JOIN PRODUTO P ON P.CDPRODUTO = X.CDPRODUTO"
                                  " WHERE X.CDFILIAL = :F AND X.CDSERVFILI = :S ORDER BY P.CDARVPROD",
                              p);
            if (r.Empty()) return;
            const Dish dish = svc.byDish ? defaultDish(def, prefix) : Dish{" ", " ", " "};
            if (svc.byDish && !wantedDish(dish)) return;
            for (const auto& row : r.rows) add(dish, row[0], row[1], times * row[2].AsFloat());
        };
        if (kinds_[1] == 'F') consumption("CONSFIXO", "QTCONSUMO", fixed_, "FIXO", 1.0);
        if (kinds_[2] == 'P') consumption("CONSPERCAP", "QTPERCAPITA", perCapita_, "PER", people);
        return out;
    }

    void write(const ServiceRow& svc, const std::vector<Line>& lines) {
        db::SqlParams key = {{"F", branch_}, {"S", svc.code}, {"D", day_}, {"E", IncDay(day_, 1)}, {"N", kPlanned}};
        c_.Execute("DELETE FROM ITPREVRETI WHERE CDFILIAL = :F AND CDSERVFILI = :S AND NRREQUEXTR = :N"
                   " AND DTPREVRETI >= :D AND DTPREVRETI < :E",
                   key);
        c_.Execute("DELETE FROM PREVRETI WHERE CDFILIAL = :F AND CDSERVFILI = :S AND NRREQUEXTR = :N"
                   " AND DTPREVRETI >= :D AND DTPREVRETI < :E",
                   key);
        if (lines.empty()) return;
        c_.Execute("INSERT INTO PREVRETI (CDFILIAL, CDSERVFILI, DTPREVRETI, NRREQUEXTR, IDPREVTPPRAT)"
                   " VALUES (:F, :S, :D, :N, :T)",
                   {{"F", branch_}, {"S", svc.code}, {"D", day_}, {"N", kPlanned}, {"T", svc.byDish ? "S" : "N"}});
        int item = 0;
        for (const Line& l : lines)
            c_.Execute("INSERT INTO ITPREVRETI (CDFILIAL, CDSERVFILI, DTPREVRETI, NRREQUEXTR, NRSEQUITEM, CDPRODUTO,"
                       " CDTIPOPRAT, CDFILAUXPRAT, CDPRATO, QTPREVISRETI) VALUES (:F, :S, :D, :N, :I, :P, :T, :B, :PR, :Q)",
                       {{"F", branch_}, {"S", svc.code}, {"D", day_}, {"N", kPlanned},
                        {"I", store::FormatNumber(++item, 4)}, {"P", l.product}, {"T", std::get<0>(l.dish)},
                        {"B", std::get<1>(l.dish)}, {"PR", std::get<2>(l.dish)}, {"Q", round5(l.quantity)}});
    }
};

}  // namespace

void RegisterRetiradaGeral(Dispatcher& d) {
    d.Register(kModuleRetirada, {"VdRetGeral",
                                 {Branch("CDFILIAL"), Str("CDOPERADOR"), Day("DTRETGERAL"), Str("LISTASERV", true)},
                                 [](CallContext& ctx, VariantArray& a) { return vdRetGeral(ctx, a); }, true,
                                 Access::Write});
    d.Register(kModuleRetirada, {"GetRetiradaGeral", {Branch("CDFILIAL"), Day("DTRETGERAL")},
                                 [](CallContext& ctx, VariantArray& a) { return getRetiradaGeral(ctx.Db(), a); }});
    d.Register(kModuleRetirada,
               {"GetRequisicao",
                {Str("RESULTADO", true), Branch("CDFILIAL"), AnyArg("NRRETGERAL"), Day("DTINICIAL"), Day("DTFINAL"),
                 Num("PCMARGEM"), Str("CDOPERADOR"), Day("DTHRSOLIC"), Str("IDSERVICOS"), Str("CALCREQUISICAO", true),
                 Str("IDREQUISICAO"), Str("IDACUMULA"), Str("CDARVPRODINI"), Str("CDARVPRODFIN"), Str("CDTIPOPRAT"),
                 Str("CDPRATO")},
                [](CallContext& ctx, VariantArray& a) { return Recalcula(ctx, a).Run(); }, true, Access::Write});
}

}  // namespace appserver
