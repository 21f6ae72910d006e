// "Pla02000.rdmRetirada.GravaRequisicao" (contract in GravaRequisicao.h).
#include "modules/GravaRequisicao.h"

#include "core/Text.h"
#include "db/SqlDialect.h"
#include "modules/Datasets.h"
#include "modules/ExtraRequisition.h"
#include "modules/ModuleSupport.h"
#include "modules/Modules.h"
#include "modules/RetiradaQueries.h"
#include "net/VariantJson.h"
#include "store/Sequences.h"
#include "store/StockLedger.h"
#include "store/UsualPlace.h"

#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace appserver {

namespace ds = datasets;

namespace {

constexpr const char* kPlanned = "0000000000";
constexpr const char* kNewCode = "NOVOCODRET";

std::string code(const Variant& v) { return text::Trim(ArgText(v)); }

double round(double v, int decimals) {
    const double f = std::pow(10.0, decimals);
    return std::round(v * f) / f;
}

// The header as the delta carries it: one row, read by field name.
struct Header {
    const DataPacket* packet = nullptr;
    const PacketRow* row = nullptr;
    Variant get(const char* field) const {
        const int i = packet->FieldIndex(field);
        return i < 0 ? Variant() : row->values.at(static_cast<size_t>(i));
    }
    std::string text(const char* field) const { return code(get(field)); }
};

Header readHeader(const Variant& delta) {
    if (!delta.IsPacket() || delta.AsPacket().rows.size() != 1)
        Fail("Cabeçalho da retirada não enviado.");
    const DataPacket& p = delta.AsPacket();
    Header h{&p, &p.rows[0]};
    if (h.row->change != RowChange::Inserted && h.row->change != RowChange::Modified)
        Fail("Cabeçalho da retirada não enviado.");
    return h;
}

using Dish = std::tuple<std::string, std::string, std::string>;  // type, auxiliary branch, dish

struct Service {
    std::string name;
    bool byDish = false, dishLocked = false;
};

// One planned product of the requisition.
struct Line {
    std::string tree;
    Dish dish;
    double quantity;
};

struct Group {
    Dish dish;
    std::string prefix;
    double quantity = 0;
    auto key() const { return std::tie(dish, prefix); }
    bool operator<(const Group& o) const { return key() < o.key(); }
};

class Grava {
public:
    Grava(CallContext& ctx, VariantArray& a) : ctx_(ctx), c_(ctx.Db()), a_(a) {}

    Variant Run() {
        const Header h = readHeader(a_[0]);
        branch_ = code(a_[3]);
        if (branch_.empty()) Fail("Filial não informada.");
        RequireBranch(c_, branch_);
        // The delta must not carry another branch than the one checked for the operator.
        for (const char* f : {"CDFILIAL", "CDFILIMOVI"})
            if (std::string b = h.text(f); !b.empty() && b != branch_)
                Fail("Filial do lançamento (" + b + ") difere da filial informada (" + branch_ + ").");
        service_ = code(a_[7]);
        requisition_ = code(a_[8]);
        if (requisition_.empty()) Fail("Requisição não informada.");
        if (!ArgDay(a_[10], menuDay_)) Fail("Data do cardápio não informada.");
        if (!ArgDay(a_[12], withdrawalDay_)) Fail("Data da retirada não informada.");
        const Service svc = readService();
        const Variant settings = Variant(BuildPacket(
            ds::UtilizaRetiPrat(), c_.Query("SELECT IDBLOQALTPRA, CDSERVFILI, IDUTRETIPRAT FROM SERVICO"
                                            " WHERE CDFILIAL = :F AND CDSERVFILI = :S",
                                            {{"F", branch_}, {"S", service_}})));
        auto answer = [&](Variant first) { return VarArrayOf({std::move(first), settings}); };

        key_ = h.text("CDCHAVEENVIO");
        if (Variant first; !key_.empty() && repeated(first)) return first;

        posting_ = h.text("NRLANCESTQ");
        const bool isNew = posting_.empty() || posting_ == kNewCode;
        if (!isNew) readRecorded();

        if (requisition_ != kPlanned &&
            RequisitionUsedByAnother(c_, branch_, requisition_, isNew ? std::string(kNewCode) : posting_))
            return answer(Variant("NAO_PERM"));
        const std::vector<Line> lines = readRequisition(svc);
        if (lines.empty() || (!isNew && hasLiveItems())) return answer(Variant());

        std::set<Dish> dishes;
        for (const Line& l : lines)
            if (svc.byDish) dishes.insert(l.dish);
        if (svc.byDish && svc.dishLocked) {
            std::set<Dish> kept = isNew ? menuDishes() : recordedDishes();
            if (!kept.empty() && kept != dishes) return answer(Variant("BLOQ_ALT"));
        }
        if (!isNew) RequireRight(c_, ctx_, "ALTERACAO_RETIRADA", "Operador sem direito de alterar retiradas.");

        // From here on every write commits together or not at all.
        claimKey();
        if (isNew) {
            posting_ = store::NextCode(c_, branch_, store::kSeqLanctoEst);
            withdrawal_ = store::NextCode(c_, branch_, store::kSeqRetirada);
        }
        if (requisition_ != kPlanned) ClaimRequisition(c_, branch_, requisition_, posting_);
        const std::string menu = settleMenu(dishes);
        writeHeader(h, isNew, menu, svc);
        for (const Dish& d : dishes) writeDishRow(d);
        const std::string lastItem = writeItems(lines, menu);
        c_.Execute("UPDATE LANCTOEST SET NRSEQUITRETI = :I WHERE CDFILIAL = :F AND NRLANCESTQ = :L",
                   {{"I", lastItem}, {"F", branch_}, {"L", posting_}});

        db::SqlParams key = {{"F", branch_}, {"M", branch_}, {"L", posting_}, {"R", withdrawal_}};
        Variant result = VarArrayOf({Variant(BuildPacket(ds::LanctoEst(), c_.Query(sql::kLanctoEst, key))),
                                     Variant(BuildPacket(ds::RetiTipoPrat(), c_.Query(sql::kRetiTipoPrat, key))),
                                     Variant(BuildPacket(ds::ItLanctoEst(), c_.Query(sql::kItLanctoEst, key))),
                                     settings});
        recordAnswer(result);
        return result;
    }

private:
    CallContext& ctx_;
    db::SqlConnection& c_;
    VariantArray& a_;
    std::string branch_, service_, requisition_, key_, posting_, withdrawal_, recordedRequisition_;
    TDateTime menuDay_, withdrawalDay_;

    Service readService() {
        if (service_.empty()) Fail("Serviço não informado.");
        auto r = c_.Query("SELECT NMSERVICO, IDSERVATIV, IDUTRETIPRAT, IDBLOQALTPRA FROM SERVICO"
                          " WHERE CDFILIAL = :F AND CDSERVFILI = :S",
                          {{"F", branch_}, {"S", service_}});
        if (r.Empty()) Fail("Serviço " + service_ + " não cadastrado.");
        if (code(r.rows[0][1]) == "N") Fail("Serviço " + service_ + " não habilitado para retiradas.");
        return {code(r.rows[0][0]), code(r.rows[0][2]) == "S", code(r.rows[0][3]) == "S"};
    }

    void readRecorded() {
        auto r = c_.Query("SELECT NRRETIRADA, NRREQUEXTRRE FROM LANCTOEST WHERE CDFILIAL = :F AND NRLANCESTQ = :L",
                          {{"F", branch_}, {"L", posting_}});
        if (r.Empty()) Fail("Lançamento " + posting_ + " não encontrado na filial " + branch_ + ".");
        withdrawal_ = code(r.rows[0][0]);
        recordedRequisition_ = code(r.rows[0][1]);
    }

    // The first answer of this sending, when it was recorded.
    bool repeated(Variant& first) {
        auto r = c_.Query("SELECT CDFILIAL, DSRESPOSTA FROM ENVIOREQUI WHERE CDCHAVEENVIO = :K", {{"K", key_}});
        if (r.Empty()) return false;
        if (code(r.rows[0][0]) != branch_) Fail("Chave de envio " + key_ + " já usada em outra filial.");
        const VariantArray stored = net::DecodeVariant(r.rows[0][1].AsString()).AsArray();
        first = stored.at(0);
        a_[1] = stored.at(1);
        a_[13] = stored.at(2);
        return true;
    }

    // Takes the sending's key; a twin call that got there first has committed
    // or will: running again finds its answer.
    void claimKey() {
        if (key_.empty()) return;
        const std::string sql = db::DialectOf(c_).Upsert(
            "ENVIOREQUI", {"CDCHAVEENVIO", "CDFILIAL", "NRLANCESTQ", "DTENVIO", "DSRESPOSTA"}, {"CDCHAVEENVIO"}, {});
        if (c_.Execute(sql, {{"CDCHAVEENVIO", key_}, {"CDFILIAL", branch_}, {"NRLANCESTQ", kNewCode},
                             {"DTENVIO", Now()}, {"DSRESPOSTA", ""}}) == 0)
            throw db::SqlError("Sending " + key_ + " recorded meanwhile", db::SqlFailure::Conflict);
    }

    void recordAnswer(const Variant& result) {
        if (key_.empty()) return;
        c_.Execute("UPDATE ENVIOREQUI SET NRLANCESTQ = :L, DSRESPOSTA = :R WHERE CDCHAVEENVIO = :K",
                   {{"L", posting_}, {"R", net::EncodeVariant(VarArrayOf({result, a_[1], a_[13]}))}, {"K", key_}});
    }

    std::vector<Line> readRequisition(const Service& svc) {
        db::SqlParams p = {{"F", branch_}, {"N", requisition_}, {"S", service_}, {"D", menuDay_},
                           {"E", IncDay(menuDay_, 1)}};
        auto head = c_.Query("SELECT CDSERVFILI, DTPREVRETI FROM PREVRETI WHERE CDFILIAL = :F AND NRREQUEXTR = :N"
                             " AND CDSERVFILI = :S AND DTPREVRETI >= :D AND DTPREVRETI < :E",
                             p);
        if (head.Empty()) {
            if (requisition_ != kPlanned &&
                !c_.Query("SELECT 1 FROM PREVRETI WHERE CDFILIAL = :F AND NRREQUEXTR = :N", p).Empty())
                Fail("Serviço e data do cardápio não correspondem à requisição informada.");
            return {};
        }
        auto r = c_.Query(
            "SELECT P.CDARVPROD, I.CDTIPOPRAT, I.CDFILAUXPRAT, I.CDPRATO, I.QTPREVISRETI"
            "  FROM ITPREVRETI I JOIN PRODUTO P ON P.CDPRODUTO = I.CDPRODUTO"
            " WHERE I.CDFILIAL = :F AND I.NRREQUEXTR = :N AND I.CDSERVFILI = :S"
            "   AND I.DTPREVRETI >= :D AND I.DTPREVRETI < :E ORDER BY I.NRSEQUITEM",
            p);
        std::vector<Line> out;
        for (const auto& row : r.rows) {
            Line l{code(row[0]), {}, row[4].IsNull() ? 0.0 : row[4].AsFloat()};
            if (svc.byDish) {
                l.dish = {code(row[1]), code(row[2]), code(row[3])};
                if (std::get<0>(l.dish).empty() || std::get<2>(l.dish).empty())
                    Fail("Requisição " + requisition_ + ": produto " + l.tree + " sem tipo de prato e prato.");
            }
            out.push_back(std::move(l));
        }
        return out;
    }

    bool hasLiveItems() {
        return !c_.Query("SELECT 1 FROM ITLANCTOEST WHERE CDFILIAL = :F AND NRLANCESTQ = :L AND IDSTATUS <> 'D'",
                         {{"F", branch_}, {"L", posting_}})
                    .Empty();
    }

    std::set<Dish> dishesOf(const db::SqlResult& r) {
        std::set<Dish> out;
        for (const auto& row : r.rows) out.insert({code(row[0]), code(row[1]), code(row[2])});
        return out;
    }
    std::set<Dish> recordedDishes() {
        return dishesOf(c_.Query("SELECT CDTIPOPRAT, CDFILAUXPRAT, CDPRATO FROM RETITIPOPRAT"
                                 " WHERE CDFILIAL = :F AND NRRETIRADA = :R AND IDSTATUS <> 'D'",
                                 {{"F", branch_}, {"R", withdrawal_}}));
    }
    std::set<Dish> menuDishes() {
        return dishesOf(c_.Query("SELECT I.CDTIPOPRAT, I.CDFILAUXPRAT, I.CDPRATO FROM CARDAPIO C"
                                 "  JOIN ITCARDAPIO I ON I.CDFILIAL = C.CDFILIAL AND I.NRCARDAPIO = C.NRCARDAPIO"
                                 " WHERE C.CDFILIAL = :F AND C.CDSERVFILI = :S AND C.DTCARDAPIO >= :D AND C.DTCARDAPIO < :E",
                                 {{"F", branch_}, {"S", service_}, {"D", menuDay_}, {"E", IncDay(menuDay_, 1)}}));
    }

    // The menu the withdrawal names: the one given, the day's, or a new one.
    std::string settleMenu(const std::set<Dish>& dishes) {
        const std::string given = code(a_[4]);
        const bool wanted = code(a_[1]) == "S";
        if (!wanted && !given.empty() && given != kNewCode) {
            if (c_.Query("SELECT 1 FROM CARDAPIO WHERE CDFILIAL = :F AND NRCARDAPIO = :N", {{"F", branch_}, {"N", given}})
                    .Empty())
                Fail("Cardápio " + given + " não cadastrado na filial " + branch_ + ".");
            return given;
        }
        db::SqlParams day = {{"F", branch_}, {"S", service_}, {"D", menuDay_}, {"E", IncDay(menuDay_, 1)}};
        auto existing = c_.Query("SELECT NRCARDAPIO FROM CARDAPIO WHERE CDFILIAL = :F AND CDSERVFILI = :S"
                                 " AND DTCARDAPIO >= :D AND DTCARDAPIO < :E",
                                 day);
        a_[1] = Variant("N");
        if (!existing.Empty()) return code(existing.rows[0][0]);
        const std::string nr = store::NextCode(c_, branch_, store::kSeqCardapio);
        const std::string sql = db::DialectOf(c_).Upsert("CARDAPIO", {"CDFILIAL", "NRCARDAPIO", "CDSERVFILI", "DTCARDAPIO"},
                                                         {"CDFILIAL", "CDSERVFILI", "DTCARDAPIO"}, {});
        // Another call made the day's menu meanwhile: run again and take it.
        if (c_.Execute(sql, {{"CDFILIAL", branch_}, {"NRCARDAPIO", nr}, {"CDSERVFILI", service_}, {"DTCARDAPIO", menuDay_}}) == 0)
            throw db::SqlError("Menu of " + service_ + " made meanwhile", db::SqlFailure::Conflict);
        for (const auto& [type, aux, dish] : dishes)
            c_.Execute("INSERT INTO ITCARDAPIO (CDFILIAL, NRCARDAPIO, CDTIPOPRAT, CDFILAUXPRAT, CDPRATO)"
                       " VALUES (:F, :N, :T, :A, :P)",
                       {{"F", branch_}, {"N", nr}, {"T", type}, {"A", aux}, {"P", dish}});
        return nr;
    }

    void writeHeader(const Header& h, bool isNew, const std::string& menu, const Service& svc) {
        TDateTime posted;
        if (!ArgDay(h.get("DTLANCESTQ"), posted)) posted = withdrawalDay_;
        db::SqlParams p = {{"F", branch_},        {"L", posting_},          {"D", posted},
                           {"DS", h.get("DSLANCESTQ")}, {"R", withdrawal_}, {"C", menu},
                           {"DR", withdrawalDay_}, {"RQ", requisition_},    {"S", service_},
                           {"DC", menuDay_},       {"O", ctx_.Operator},    {"M", FirstDayOfMonth(menuDay_)},
                           {"NF", h.get("NRLANCTONF")}, {"P", svc.byDish ? "S" : "N"}};
        if (isNew)
            c_.Execute("INSERT INTO LANCTOEST (CDFILIAL, NRLANCESTQ, CDFILIMOVI, IDTPLANCTO, DTLANCESTQ, DSLANCESTQ,"
                       " NRRETIRADA, NRCARDAPIO, DTRETIRADA, NRREQUEXTRRE, CDSERVFILI, DTCARDAPIO, CDOPERADOR,"
                       " DTMESCARD, CDFILANCESTQ, NRLANCTONF, NRSEQUITRETI, IDRETIPRAT)"
                       " VALUES (:F, :L, :F, 'R', :D, :DS, :R, :C, :DR, :RQ, :S, :DC, :O, :M, :F, :NF, '0000', :P)",
                       p);
        else
            c_.Execute("UPDATE LANCTOEST SET DTLANCESTQ = :D, DSLANCESTQ = :DS, NRCARDAPIO = :C, DTRETIRADA = :DR,"
                       " NRREQUEXTRRE = :RQ, CDSERVFILI = :S, DTCARDAPIO = :DC, CDOPERADOR = :O, DTMESCARD = :M,"
                       " IDRETIPRAT = :P WHERE CDFILIAL = :F AND NRLANCESTQ = :L",
                       p);
    }

    void writeDishRow(const Dish& d) {
        const std::string sql = db::DialectOf(c_).Upsert(
            "RETITIPOPRAT", {"CDFILIAL", "NRRETIRADA", "CDTIPOPRAT", "CDFILAUXPRAT", "CDPRATO", "IDSTATUS"},
            {"CDFILIAL", "NRRETIRADA", "CDTIPOPRAT", "CDFILAUXPRAT", "CDPRATO"}, {"IDSTATUS = 'N'"});
        c_.Execute(sql, {{"CDFILIAL", branch_}, {"NRRETIRADA", withdrawal_}, {"CDTIPOPRAT", std::get<0>(d)},
                         {"CDFILAUXPRAT", std::get<1>(d)}, {"CDPRATO", std::get<2>(d)}, {"IDSTATUS", "N"}});
    }

    // Writes the aggregated items; returns the highest item number of the withdrawal.
    std::string writeItems(const std::vector<Line>& lines, const std::string& menu) {
        const long long length = a_[9].IsNull() ? 0 : a_[9].AsInteger();
        std::map<Group, double> sums;
        std::vector<Group> order;  // first appearance, so items follow the requisition
        for (const Line& l : lines) {
            Group g{l.dish, length > 0 && static_cast<size_t>(length) < l.tree.size() ? l.tree.substr(0, length) : l.tree};
            if (!sums.count(g)) order.push_back(g);
            sums[g] += l.quantity;
        }
        std::string type = code(a_[11]);
        if (type.empty()) {
            auto r = c_.Query("SELECT CDTPRETIPADR FROM PARAMESTOQUE WHERE CDFILIAL = :F", {{"F", branch_}});
            if (!r.Empty()) type = code(r.rows[0][0]);
        }
        auto last = c_.Query("SELECT MAX(NRSEQUITEM) FROM ITLANCTOEST WHERE CDFILIAL = :F AND NRLANCESTQ = :L",
                             {{"F", branch_}, {"L", posting_}});
        int item = last.rows[0][0].IsNull() ? 0 : std::stoi(code(last.rows[0][0]));
        // A branch that keeps stock by place takes each item from the
        // product's usual place, as a typed item is given; a blank place
        // there is no place at all.
        auto places = c_.Query("SELECT IDUSALOCALIZ FROM PARAMFILIAL WHERE CDFILIAL = :F", {{"F", branch_}});
        const bool byPlace = !places.Empty() && code(places.rows[0][0]) == "S";
        auto orBlank = [](const std::string& s) { return s.empty() ? std::string(" ") : s; };
        for (const Group& g : order) {
            auto p = c_.Query("SELECT P.CDPRODUTO, P.CDPRODESTO, P.VRFATOCONV, F.VRCUSTOPROD FROM PRODUTO P"
                              "  LEFT JOIN PRODFILI F ON F.CDFILIAL = :F AND F.CDPRODUTO = P.CDPRODUTO"
                              " WHERE P.CDARVPROD = :A",
                              {{"F", branch_}, {"A", g.prefix}});
            if (p.Empty()) Fail("Produto de código " + g.prefix + " não cadastrado para agrupar a requisição.");
            const std::string product = code(p.rows[0][0]), stock = code(p.rows[0][1]);
            const double factor = p.rows[0][2].IsNull() || p.rows[0][2].AsFloat() <= 0 ? 1.0 : p.rows[0][2].AsFloat();
            const double qty = round(sums[g], 5), stockQty = round(qty * factor, 5);
            // Per stock unit, as the screen prices a typed item: its value is
            // the stock quantity times this cost.
            double cost = store::PositionOfDay(c_, branch_, stock, withdrawalDay_).averageCost;
            if (cost <= 0 && !p.rows[0][3].IsNull()) cost = p.rows[0][3].AsFloat() / factor;
            const std::string seq = store::FormatNumber(++item, 4);
            const auto& [dishType, dishBranch, dish] = g.dish;
            const store::StockPlace place = byPlace ? store::UsualPlace(c_, branch_, stock) : store::StockPlace{};
            auto orNull = [](const std::string& s) { return s.empty() ? Variant() : Variant(s); };
            c_.Execute(
                "INSERT INTO ITLANCTOEST (CDFILIAL, NRLANCESTQ, NRSEQUITEM, CDPRODUTO, CDPRODMOVI, CDTIPORETI,"
                " QTPREVISRETI, QTEXTRARETI, QTDEVOLVRETI, QTTOTLANCTO, QTRETIRADA, QTLANCTOEST, QTSALDORETIRADA,"
                " VRUNILANCTO, VRTOTLANCTO, VRQTDEANT, IDTIPOMOVI, DTLANCMOVI, IDORDEMCLC, NRRETIRADA, NRCARDAPIO,"
                " NRSEQUITRETI, CDFILIMOVI, CDFIITLANEST, NRLANCESTRT, NRSEQUIITRT, CDFILIRETI, IDEVOLESTOQ,"
                " CDALMOXARIFE, CDLOCALESTOQ, NRLOTEESTQ, NRSUBLOTE, IDSTATUS, CDTIPOPRAT, CDPRATO, CDFILAUXPRAT)"
                " VALUES (:F, :L, :I, :P, :PM, :T, :Q, 0, 0, :Q, :Q, :QL, 0, :VU, :VT, 0, 'S', :D, '1', :R, :C, :I,"
                " :F, :F, :L, :I, :F, 'N', :AL, :LC, ' ', ' ', 'N', :TP, :PR, :FP)",
                {{"F", branch_}, {"L", posting_}, {"I", seq}, {"P", product}, {"PM", stock},
                 {"T", type.empty() ? Variant() : Variant(type)}, {"Q", qty}, {"QL", stockQty},
                 {"VU", cost}, {"VT", round(stockQty * cost, 2)}, {"D", withdrawalDay_}, {"R", withdrawal_},
                 {"C", menu}, {"TP", orNull(dishType)}, {"PR", orNull(dish)}, {"FP", orNull(dishBranch)},
                 {"AL", orBlank(place.storeroom)}, {"LC", orBlank(place.location)}});
        }
        return store::FormatNumber(item, 4);
    }
};

}  // namespace

void RegisterGravaRequisicao(Dispatcher& d) {
    d.Register(kModuleRetirada,
               {"GravaRequisicao",
                {AnyArg("DELTA"), Str("IDNOVOCARDAPIO", true), Branch("FILIPROC"), Branch("CDFILIAL"),
                 Str("NRCARDAPIO"), Str("IDESTONLINE"), Str("IDPERMESTNEG"), Str("CDSERVFILI"), Str("NRREQUISICAO"),
                 Num("TAMAGRUPA"), Day("DTCARDAPIO"), Str("CDTPRETIPADR"), Day("DTRETIRADA"), Day("DTESTOQUE", true),
                 Num("DTPROCESSA")},
                [](CallContext& ctx, VariantArray& a) { return Grava(ctx, a).Run(); }, true, Access::Write});
}

}  // namespace appserver
