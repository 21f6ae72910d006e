// "Pla02000.rdmRetirada.Confirma_Lanc" (contract in Confirmation.h).
#include "modules/Confirmation.h"

#include "core/Text.h"
#include "db/SqlDialect.h"
#include "modules/ExtraRequisition.h"
#include "modules/ModuleSupport.h"
#include "modules/Modules.h"
#include "modules/StockPosting.h"
#include "net/VariantJson.h"
#include "store/Sequences.h"
#include "store/StockLedger.h"

#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <tuple>

namespace appserver {

namespace {

constexpr const char* kPlanned = "0000000000";
constexpr const char* kNewCode = "NOVOCODRET";

std::string code(const Variant& v) { return text::Trim(ArgText(v)); }
bool open(const std::string& number) { return number.empty() || number == kNewCode; }
Variant orNull(const std::string& s) { return s.empty() ? Variant() : Variant(s); }
double round5(double v) { return std::round(v * 1e5) / 1e5 + 0.0; }

// One row of a delta, read by field name.
struct DeltaRow {
    const DataPacket* packet = nullptr;
    const PacketRow* row = nullptr;
    Variant get(const char* field) const {
        const int i = packet->FieldIndex(field);
        return i < 0 ? Variant() : row->values.at(static_cast<size_t>(i));
    }
    Variant original(const char* field) const {
        const int i = packet->FieldIndex(field);
        return i < 0 || row->original.empty() ? Variant() : row->original.at(static_cast<size_t>(i));
    }
    std::string text(const char* field) const { return code(get(field)); }
    bool deleted() const { return row->change == RowChange::Deleted; }
};

const DataPacket* deltaOf(const Variant& v, const char* what) {
    if (v.IsNull()) return nullptr;
    if (!v.IsPacket()) Fail(std::string("Alterações ") + what + " em formato inválido.");
    return v.AsPacket().rows.empty() ? nullptr : &v.AsPacket();
}

using Dish = std::tuple<std::string, std::string, std::string>;  // type, auxiliary branch, dish

class Confirma {
public:
    Confirma(CallContext& ctx, VariantArray& a) : ctx_(ctx), c_(ctx.Db()), a_(a) {}

    Variant Run() {
        branch_ = code(a_[3]);
        if (branch_.empty()) Fail("Filial não informada.");
        RequireBranch(c_, branch_);
        header_ = deltaOf(a_[0], "do cabeçalho");
        items_ = deltaOf(a_[1], "dos itens");
        std::optional<DeltaRow> h;
        if (header_) {
            if (header_->rows.size() != 1) Fail("Cabeçalho da retirada enviado com mais de uma linha.");
            h = DeltaRow{header_, &header_->rows[0]};
            if (h->deleted()) Fail("Cabeçalho da retirada não pode ser excluído na confirmação.");
            for (const char* f : {"CDFILIAL", "CDFILIMOVI"})
                if (std::string b = h->text(f); !b.empty() && b != branch_)
                    Fail("Filial do lançamento (" + b + ") difere da filial informada (" + branch_ + ").");
            key_ = h->text("CDCHAVEENVIO");
        }
        if (Variant first; !key_.empty() && repeated(first)) return first;

        posting_ = h ? h->text("NRLANCESTQ") : code(a_[6]);
        if (open(posting_)) posting_ = code(a_[6]);
        const bool isNew = open(posting_);
        if (isNew && !h) Fail("Cabeçalho da retirada não enviado.");
        if (!isNew) readRecorded();
        if (!isNew) RequireRight(c_, ctx_, "ALTERACAO_RETIRADA", "Operador sem direito de alterar retiradas.");

        TDateTime end;
        if (!ArgDay(a_[11], end)) end = ProcessingDate(c_, branch_);
        const VariantArray given = a_;
        db::Transaction work(c_);  // a refused confirmation keeps nothing
        claimKey();
        if (isNew) {
            posting_ = store::NextCode(c_, branch_, store::kSeqLanctoEst);
            withdrawal_ = store::NextCode(c_, branch_, store::kSeqRetirada);
        }
        writeHeader(h, isNew);
        if (end < day_) end = day_;
        if (TDateTime p = ProcessingDate(c_, branch_); end < p) end = p;
        rules_ = ReadPostingRules(c_, branch_, end, code(a_[12]));

        store::LockLedger(c_, branch_);
        readChanges();
        // A posting numbered by this call holds nothing yet.
        const auto held = isNew ? std::map<std::string, std::vector<store::Holding>>()
                                : store::PostingHoldings(c_, branch_, posting_);
        auto holdingsOf = [&](const std::string& item) {
            static const std::vector<store::Holding> none;
            auto it = held.find(item);
            return it == held.end() ? &none : &it->second;
        };
        std::set<std::string> settled;
        for (const Change& ch : changes_) {
            const bool carried = SettleItem(c_, rules_, ch.stored, rows_, holdingsOf(ch.stored.item)) == Settled::Posted;
            storeItem(ch, carried);
            settled.insert(ch.stored.item);
        }
        if (dayChanged_)
            for (const StoredItem& it : ReadStoredItems(c_, branch_, posting_))
                if (!settled.count(it.item))
                    MarkCarried(c_, branch_, it, SettleItem(c_, rules_, it, rows_, holdingsOf(it.item)) == Settled::Posted);
        // Irregular positions accepted by the user and allowed by the branch
        // take the saved pending items too, not only those sent again.
        if (!isNew && !dayChanged_ && rules_.IrregularPosted()) settlePending(settled, holdingsOf);
        for (const std::string& item : removed_) removeItem(item);
        settleDishRows();
        c_.Execute("UPDATE LANCTOEST SET NRSEQUITRETI = (SELECT MAX(NRSEQUITEM) FROM ITLANCTOEST I"
                   " WHERE I.CDFILIAL = LANCTOEST.CDFILIAL AND I.NRLANCESTQ = LANCTOEST.NRLANCESTQ)"
                   " WHERE CDFILIAL = :F AND NRLANCESTQ = :L AND EXISTS (SELECT 1 FROM ITLANCTOEST I"
                   " WHERE I.CDFILIAL = LANCTOEST.CDFILIAL AND I.NRLANCESTQ = LANCTOEST.NRLANCESTQ)",
                   {{"F", branch_}, {"L", posting_}});

        const bool failed = rules_.Refused(rows_);
        ResultRows answer;
        answer.Add("NRLANCESTQ", failed ? "" : posting_);
        answer.Add("NRRETIRADA", failed ? "" : withdrawal_);
        if (menuSettled_) answer.Add("NRCARDAPIO", failed ? "" : menu_);
        DataPacket result = answer.Packet();
        const DataPacket errors = rows_.Packet();
        result.rows.insert(result.rows.end(), errors.rows.begin(), errors.rows.end());
        if (failed) {
            a_ = given;  // the work below is rolled back with `work`; so are the by-reference values
            return Variant(std::move(result));
        }
        replacePlaceholders(a_[0]);
        replacePlaceholders(a_[1]);
        recordAnswer(Variant(result));
        work.Commit();
        return Variant(std::move(result));
    }

private:
    CallContext& ctx_;
    db::SqlConnection& c_;
    VariantArray& a_;
    const DataPacket* header_ = nullptr;
    const DataPacket* items_ = nullptr;
    std::string branch_, key_, posting_, withdrawal_, menu_, service_, requisition_;
    TDateTime day_, menuDay_;
    bool dayChanged_ = false, menuSettled_ = false, byDish_ = false;
    PostingRules rules_;
    ResultRows rows_;
    std::vector<std::string> removed_;

    void readRecorded() {
        auto r = c_.Query("SELECT NRRETIRADA, NRCARDAPIO, CDSERVFILI, DTLANCESTQ, DTCARDAPIO, NRREQUEXTRRE"
                          " FROM LANCTOEST WHERE CDFILIAL = :F AND NRLANCESTQ = :L",
                          {{"F", branch_}, {"L", posting_}});
        if (r.Empty()) Fail("Lançamento " + posting_ + " não encontrado na filial " + branch_ + ".");
        withdrawal_ = code(r.rows[0][0]);
        if (std::string w = code(a_[7]); !open(w) && w != withdrawal_)
            Fail("Lançamento " + posting_ + " não pertence à retirada " + w + ".");
        menu_ = code(r.rows[0][1]);
        service_ = code(r.rows[0][2]);
        db::ToDateTime(r.rows[0][3], day_);
        day_ = day_.DateOnly();
        db::ToDateTime(r.rows[0][4], menuDay_);
        requisition_ = code(r.rows[0][5]);
    }

    bool repeated(Variant& first) {
        auto r = c_.Query("SELECT CDFILIAL, DSRESPOSTA FROM ENVIOCONFIRMA WHERE CDCHAVEENVIO = :K", {{"K", key_}});
        if (r.Empty()) return false;
        if (code(r.rows[0][0]) != branch_) Fail("Chave de envio " + key_ + " já usada em outra filial.");
        const VariantArray stored = net::DecodeVariant(r.rows[0][1].AsString()).AsArray();
        first = stored.at(0);
        // The by-reference values as the first answer left them (see recordAnswer).
        const size_t refs[] = {0, 1, 2, 10, 11, 12};
        for (size_t k = 0; k < std::size(refs); ++k) a_[refs[k]] = stored.at(k + 1);
        return true;
    }

    void claimKey() {
        if (key_.empty()) return;
        const std::string sql = db::DialectOf(c_).Upsert(
            "ENVIOCONFIRMA", {"CDCHAVEENVIO", "CDFILIAL", "NRLANCESTQ", "DTENVIO", "DSRESPOSTA"}, {"CDCHAVEENVIO"}, {});
        if (c_.Execute(sql, {{"CDCHAVEENVIO", key_}, {"CDFILIAL", branch_}, {"NRLANCESTQ", kNewCode},
                             {"DTENVIO", Now()}, {"DSRESPOSTA", ""}}) == 0)
            throw db::SqlError("Confirmation " + key_ + " recorded meanwhile", db::SqlFailure::Conflict);
    }

    void recordAnswer(const Variant& result) {
        if (key_.empty()) return;
        c_.Execute("UPDATE ENVIOCONFIRMA SET NRLANCESTQ = :L, DSRESPOSTA = :R WHERE CDCHAVEENVIO = :K",
                   {{"L", posting_},
                    {"R", net::EncodeVariant(VarArrayOf({result, a_[0], a_[1], a_[2], a_[10], a_[11], a_[12]}))},
                    {"K", key_}});
    }

    void readService(const std::string& service) {
        if (service.empty()) Fail("Serviço não informado.");
        auto r = c_.Query("SELECT IDSERVATIV, IDUTRETIPRAT FROM SERVICO WHERE CDFILIAL = :F AND CDSERVFILI = :S",
                          {{"F", branch_}, {"S", service}});
        if (r.Empty()) Fail("Serviço " + service + " não cadastrado.");
        if (code(r.rows[0][0]) == "N") Fail("Serviço " + service + " não habilitado para retiradas.");
        byDish_ = code(r.rows[0][1]) == "S";
    }

    // The menu the header names, the day's, or a new one (with the items' dishes).
    void settleMenu(const std::string& given) {
        const bool wanted = code(a_[2]) == "S";
        if (!wanted && !open(given)) {
            if (c_.Query("SELECT 1 FROM CARDAPIO WHERE CDFILIAL = :F AND NRCARDAPIO = :N", {{"F", branch_}, {"N", given}})
                    .Empty())
                Fail("Cardápio " + given + " não cadastrado na filial " + branch_ + ".");
            menu_ = given;
            return;
        }
        menuSettled_ = true;
        a_[2] = Variant("N");
        db::SqlParams day = {{"F", branch_}, {"S", service_}, {"D", menuDay_}, {"E", IncDay(menuDay_, 1)}};
        auto existing = c_.Query("SELECT NRCARDAPIO FROM CARDAPIO WHERE CDFILIAL = :F AND CDSERVFILI = :S"
                                 " AND DTCARDAPIO >= :D AND DTCARDAPIO < :E",
                                 day);
        if (!existing.Empty()) {
            menu_ = code(existing.rows[0][0]);
            return;
        }
        menu_ = store::NextCode(c_, branch_, store::kSeqCardapio);
        const std::string sql = db::DialectOf(c_).Upsert("CARDAPIO", {"CDFILIAL", "NRCARDAPIO", "CDSERVFILI", "DTCARDAPIO"},
                                                         {"CDFILIAL", "CDSERVFILI", "DTCARDAPIO"}, {});
        if (c_.Execute(sql, {{"CDFILIAL", branch_}, {"NRCARDAPIO", menu_}, {"CDSERVFILI", service_}, {"DTCARDAPIO", menuDay_}}) == 0)
            throw db::SqlError("Menu of " + service_ + " made meanwhile", db::SqlFailure::Conflict);
        std::set<Dish> dishes;
        if (items_)
            for (const PacketRow& row : items_->rows) {
                DeltaRow d{items_, &row};
                if (!d.deleted() && !d.text("CDTIPOPRAT").empty() && !d.text("CDPRATO").empty())
                    dishes.insert({d.text("CDTIPOPRAT"), d.text("CDFILAUXPRAT"), d.text("CDPRATO")});
            }
        for (const auto& [type, aux, dish] : dishes)
            c_.Execute("INSERT INTO ITCARDAPIO (CDFILIAL, NRCARDAPIO, CDTIPOPRAT, CDFILAUXPRAT, CDPRATO)"
                       " VALUES (:F, :N, :T, :A, :P)",
                       {{"F", branch_}, {"N", menu_}, {"T", type}, {"A", aux}, {"P", dish}});
    }

    void writeHeader(const std::optional<DeltaRow>& h, bool isNew) {
        if (!h) {
            auto r = c_.Query("SELECT IDRETIPRAT FROM LANCTOEST WHERE CDFILIAL = :F AND NRLANCESTQ = :L",
                              {{"F", branch_}, {"L", posting_}});
            byDish_ = code(r.rows.at(0)[0]) == "S";
            return;
        }
        const TDateTime recordedDay = day_;
        std::string service = h->text("CDSERVFILI");
        if (service.empty()) service = code(a_[13]);
        if (isNew || service != service_) readService(service);
        else
            byDish_ = !c_.Query("SELECT 1 FROM SERVICO WHERE CDFILIAL = :F AND CDSERVFILI = :S AND IDUTRETIPRAT = 'S'",
                                {{"F", branch_}, {"S", service}})
                           .Empty();
        service_ = service;
        if (!ArgDay(h->get("DTLANCESTQ"), day_) && isNew) Fail("Data da retirada não informada.");
        day_ = day_.DateOnly();
        if (!ArgDay(h->get("DTCARDAPIO"), menuDay_) && !ArgDay(a_[14], menuDay_) && isNew)
            Fail("Data do cardápio não informada.");
        menuDay_ = menuDay_.DateOnly();
        dayChanged_ = !isNew && recordedDay.Val != day_.Val;
        std::string requisition = h->text("NRREQUEXTRRE");
        if (requisition.empty()) requisition = isNew ? kPlanned : requisition_;
        std::string menu = h->text("NRCARDAPIO");
        if (open(menu) && !open(code(a_[5]))) menu = code(a_[5]);
        if (!isNew && open(menu) && code(a_[2]) != "S" && !open(menu_)) menu = menu_;
        settleMenu(menu);
        TDateTime withdrawn;
        if (!ArgDay(h->get("DTRETIRADA"), withdrawn)) withdrawn = day_;
        db::SqlParams p = {{"F", branch_},         {"L", posting_},      {"D", day_},
                           {"DS", h->get("DSLANCESTQ")}, {"R", withdrawal_}, {"C", menu_},
                           {"DR", withdrawn},      {"RQ", requisition},  {"S", service_},
                           {"DC", menuDay_},       {"O", ctx_.Operator}, {"M", FirstDayOfMonth(menuDay_)},
                           {"NF", h->get("NRLANCTONF")}, {"P", byDish_ ? "S" : "N"}};
        if (isNew)
            c_.Execute("INSERT INTO LANCTOEST (CDFILIAL, NRLANCESTQ, CDFILIMOVI, IDTPLANCTO, DTLANCESTQ, DSLANCESTQ,"
                       " NRRETIRADA, NRCARDAPIO, DTRETIRADA, NRREQUEXTRRE, CDSERVFILI, DTCARDAPIO, CDOPERADOR,"
                       " DTMESCARD, CDFILANCESTQ, NRLANCTONF, NRSEQUITRETI, IDRETIPRAT)"
                       " VALUES (:F, :L, :F, 'R', :D, :DS, :R, :C, :DR, :RQ, :S, :DC, :O, :M, :F, :NF, '0000', :P)",
                       p);
        else
            c_.Execute("UPDATE LANCTOEST SET DTLANCESTQ = :D, DSLANCESTQ = :DS, NRCARDAPIO = :C, DTRETIRADA = :DR,"
                       " NRREQUEXTRRE = :RQ, CDSERVFILI = :S, DTCARDAPIO = :DC, CDOPERADOR = :O, DTMESCARD = :M,"
                       " NRLANCTONF = :NF, IDRETIPRAT = :P WHERE CDFILIAL = :F AND NRLANCESTQ = :L",
                       p);
        if (requisition != kPlanned && (isNew || requisition != requisition_)) {
            if (RequisitionUsedByAnother(c_, branch_, requisition, posting_))
                Fail("Requisição " + requisition + " já utilizada por outra retirada.");
            ClaimRequisition(c_, branch_, requisition, posting_);
        } else if (requisition == kPlanned && requisition_ != kPlanned && !requisition_.empty()) {
            ReleaseRequisition(c_, branch_, posting_);
        }
        requisition_ = requisition;
    }

    // An inserted or modified item of the delta, as the ledger will see it.
    struct Change {
        DeltaRow row;
        StoredItem stored;
        double consumed = 0;
    };
    struct Product {
        std::string stockProduct;
        double factor = 1;
        bool active = true, controls = true;
    };
    std::vector<Change> changes_;
    std::map<std::string, Product> products_;

    const Product& product(const std::string& code) {
        auto it = products_.find(code);
        if (it != products_.end()) return it->second;
        auto p = c_.Query("SELECT P.CDPRODESTO, P.VRFATOCONV, P.IDCNTRESTOQ, F.IDPRODATIV FROM PRODUTO P"
                          "  LEFT JOIN PRODFILI F ON F.CDFILIAL = :F AND F.CDPRODUTO = P.CDPRODUTO"
                          " WHERE P.CDPRODUTO = :P",
                          {{"F", branch_}, {"P", code}});
        if (p.Empty()) Fail("Produto " + code + " não cadastrado.");
        Product out;
        out.stockProduct = text::Trim(p.rows[0][0].AsString());
        out.factor = p.rows[0][1].IsNull() || p.rows[0][1].AsFloat() <= 0 ? 1.0 : p.rows[0][1].AsFloat();
        out.controls = code_(p.rows[0][2]) == "S";
        out.active = code_(p.rows[0][3]) != "I";
        return products_.emplace(code, out).first->second;
    }
    static std::string code_(const Variant& v) { return v.IsNull() ? std::string() : text::Trim(v.AsString()); }

    // Reads the delta's items: the removed ones into removed_, the others into changes_.
    void readChanges() {
        if (!items_) return;
        auto last = c_.Query("SELECT MAX(NRSEQUITEM) FROM ITLANCTOEST WHERE CDFILIAL = :F AND NRLANCESTQ = :L",
                             {{"F", branch_}, {"L", posting_}});
        int next = last.rows[0][0].IsNull() ? 0 : std::stoi(code(last.rows[0][0]));
        std::set<std::string> seen;
        for (const PacketRow& row : items_->rows) {
            DeltaRow d{items_, &row};
            if (row.change == RowChange::Unmodified) continue;
            for (const char* f : {"CDFILIAL", "CDFILIMOVI"})
                if (std::string b = d.text(f); !b.empty() && b != branch_)
                    Fail("Filial do item (" + b + ") difere da filial informada (" + branch_ + ").");
            if (std::string l = d.text("NRLANCESTQ"); !open(l) && l != posting_)
                Fail("Item do lançamento " + l + " enviado na confirmação do lançamento " + posting_ + ".");
            std::string item = d.text("NRSEQUITEM");
            if (item.empty() && d.deleted()) item = code(d.original("NRSEQUITEM"));
            if (item.empty()) {
                if (d.deleted()) continue;
                item = store::FormatNumber(++next, 4);
            }
            if (!seen.insert(item).second) Fail("Item " + item + " enviado mais de uma vez na confirmação.");
            if (d.deleted() || d.text("IDSTATUS") == "D") {
                removed_.push_back(item);
                continue;
            }
            Change ch{d, {}, round5(ArgQuantity(d.get("QTTOTLANCTO")))};
            StoredItem& it = ch.stored;
            it.posting = posting_;
            it.item = item;
            it.product = d.text("CDPRODUTO");
            if (ch.consumed < 0) Fail("Quantidade consumida negativa para o produto " + it.product + ".");
            const Product& p = product(it.product);
            it.stockProduct = p.stockProduct;
            auto place = [&](const char* f) { return d.text(f).empty() ? std::string(" ") : d.text(f); };
            it.place = {place("CDALMOXARIFE"), place("CDLOCALESTOQ"), place("NRLOTEESTQ"), place("NRSUBLOTE")};
            it.day = day_;
            it.stockQuantity = round5(ch.consumed * p.factor);
            it.unitCost = d.get("VRUNILANCTO").IsNull() ? 0.0 : d.get("VRUNILANCTO").AsFloat();
            it.productActive = p.active;
            it.controlsStock = p.controls;
            changes_.push_back(std::move(ch));
        }
    }

    void storeItem(const Change& ch, bool carried) {
        const DeltaRow& d = ch.row;
        const StoredItem& it = ch.stored;
        const std::string& item = it.item;
        const double consumed = ch.consumed;
        auto quantity = [&](const char* f) { return d.get(f).IsNull() ? Variant() : Variant(ArgQuantity(d.get(f))); };
        auto number = [&](const char* f, const std::string& value) {
            const std::string v = d.text(f);
            return open(v) && !(v.empty() && value.empty()) ? orNull(value) : orNull(v);
        };
        const bool moves = consumed != 0;
        static const std::vector<std::string> columns = {
            "CDFILIAL",     "NRLANCESTQ",  "NRSEQUITEM",   "CDPRODUTO",    "CDPRODMOVI",  "CDTIPORETI",
            "QTPREVISRETI", "QTEXTRARETI", "QTDEVOLVRETI", "QTTOTLANCTO",  "QTRETIRADA",  "QTLANCTOEST",
            "QTSALDORETIRADA", "VRUNILANCTO", "VRTOTLANCTO", "VRQTDEANT",  "IDTIPOMOVI",  "DTLANCMOVI",
            "IDORDEMCLC",   "NRRETIRADA",  "NRCARDAPIO",   "NRSEQUITRETI", "CDFILIMOVI",  "CDFIITLANEST",
            "NRLANCESTRT",  "NRSEQUIITRT", "CDFILIRETI",   "IDEVOLESTOQ",  "CDALMOXARIFE", "CDLOCALESTOQ",
            "NRLOTEESTQ",   "NRSUBLOTE",   "IDSTATUS",     "CDTIPOPRAT",   "CDPRATO",     "CDFILAUXPRAT"};
        if (itemSql_.empty()) {
            std::vector<std::string> updates;
            for (size_t i = 3; i < columns.size(); ++i) updates.push_back(columns[i] + " = excluded." + columns[i]);
            itemSql_ = db::DialectOf(c_).Upsert("ITLANCTOEST", columns, {"CDFILIAL", "NRLANCESTQ", "NRSEQUITEM"}, updates);
        }
        std::string seqRetirada = d.text("NRSEQUITRETI");
        if (seqRetirada.empty()) seqRetirada = item;
        c_.Execute(itemSql_, {{"CDFILIAL", branch_},
                         {"NRLANCESTQ", posting_},
                         {"NRSEQUITEM", item},
                         {"CDPRODUTO", it.product},
                         {"CDPRODMOVI", it.stockProduct},
                         {"CDTIPORETI", orNull(d.text("CDTIPORETI"))},
                         {"QTPREVISRETI", quantity("QTPREVISRETI")},
                         {"QTEXTRARETI", quantity("QTEXTRARETI")},
                         {"QTDEVOLVRETI", quantity("QTDEVOLVRETI")},
                         {"QTTOTLANCTO", consumed},
                         {"QTRETIRADA", quantity("QTRETIRADA")},
                         {"QTLANCTOEST", it.stockQuantity},
                         {"QTSALDORETIRADA", quantity("QTSALDORETIRADA")},
                         {"VRUNILANCTO", d.get("VRUNILANCTO").IsNull() ? Variant() : Variant(d.get("VRUNILANCTO").AsFloat())},
                         {"VRTOTLANCTO", d.get("VRTOTLANCTO").IsNull() ? Variant() : Variant(d.get("VRTOTLANCTO").AsFloat())},
                         {"VRQTDEANT", quantity("VRQTDEANT")},
                         {"IDTIPOMOVI", orNull(d.text("IDTIPOMOVI"))},
                         {"DTLANCMOVI", day_},
                         {"IDORDEMCLC", orNull(d.text("IDORDEMCLC"))},
                         {"NRRETIRADA", withdrawal_},
                         {"NRCARDAPIO", orNull(menu_)},
                         {"NRSEQUITRETI", seqRetirada},
                         {"CDFILIMOVI", branch_},
                         {"CDFIITLANEST", moves ? Variant(branch_) : Variant()},
                         {"NRLANCESTRT", moves ? Variant(posting_) : Variant()},
                         {"NRSEQUIITRT", moves ? Variant(item) : Variant()},
                         {"CDFILIRETI", number("CDFILIRETI", branch_)},
                         {"IDEVOLESTOQ", carried ? "S" : "N"},
                         {"CDALMOXARIFE", it.place.storeroom},
                         {"CDLOCALESTOQ", it.place.location},
                         {"NRLOTEESTQ", it.place.lot},
                         {"NRSUBLOTE", it.place.sublot},
                         {"IDSTATUS", "N"},
                         {"CDTIPOPRAT", orNull(d.text("CDTIPOPRAT"))},
                         {"CDPRATO", orNull(d.text("CDPRATO"))},
                         {"CDFILAUXPRAT", orNull(d.text("CDFILAUXPRAT"))}});
    }
    std::string itemSql_;

    template <class Holdings>
    void settlePending(const std::set<std::string>& settled, Holdings& holdingsOf) {
        const std::set<std::string> removed(removed_.begin(), removed_.end());
        auto pending = c_.Query("SELECT NRSEQUITEM FROM ITLANCTOEST WHERE CDFILIAL = :F AND NRLANCESTQ = :L"
                                " AND IDEVOLESTOQ = 'N' AND IDSTATUS <> 'D' ORDER BY NRSEQUITEM",
                                {{"F", branch_}, {"L", posting_}});
        for (const auto& row : pending.rows) {
            const std::string item = code(row[0]);
            if (settled.count(item) || removed.count(item)) continue;
            for (const StoredItem& it : ReadStoredItems(c_, branch_, posting_, item))
                MarkCarried(c_, branch_, it, SettleItem(c_, rules_, it, rows_, holdingsOf(it.item)) == Settled::Posted);
        }
    }

    void removeItem(const std::string& item) {
        for (const StoredItem& it : ReadStoredItems(c_, branch_, posting_, item)) {
            if (ReverseItem(c_, rules_, it, rows_) != Settled::Posted) continue;
            c_.Execute("DELETE FROM ITLANCTOEST WHERE CDFILIAL = :F AND NRLANCESTQ = :L AND NRSEQUITEM = :I",
                       {{"F", branch_}, {"L", posting_}, {"I", item}});
        }
    }

    void settleDishRows() {
        if (byDish_) {
            auto r = c_.Query("SELECT DISTINCT CDTIPOPRAT, CDFILAUXPRAT, CDPRATO FROM ITLANCTOEST"
                              " WHERE CDFILIAL = :F AND NRLANCESTQ = :L AND IDSTATUS <> 'D'"
                              "   AND CDTIPOPRAT IS NOT NULL AND CDPRATO IS NOT NULL",
                              {{"F", branch_}, {"L", posting_}});
            const std::string sql = db::DialectOf(c_).Upsert(
                "RETITIPOPRAT", {"CDFILIAL", "NRRETIRADA", "CDTIPOPRAT", "CDFILAUXPRAT", "CDPRATO", "IDSTATUS"},
                {"CDFILIAL", "NRRETIRADA", "CDTIPOPRAT", "CDFILAUXPRAT", "CDPRATO"}, {"IDSTATUS = 'N'"});
            for (const auto& row : r.rows)
                c_.Execute(sql, {{"CDFILIAL", branch_}, {"NRRETIRADA", withdrawal_}, {"CDTIPOPRAT", code(row[0])},
                                 {"CDFILAUXPRAT", row[1].IsNull() ? std::string(" ") : row[1].AsString()},
                                 {"CDPRATO", code(row[2])}, {"IDSTATUS", "N"}});
        }
        // A dish left without items was deleted on the screen (its rows never travel).
        if (!items_) return;
        c_.Execute("DELETE FROM RETITIPOPRAT WHERE CDFILIAL = :F AND NRRETIRADA = :R AND NOT EXISTS ("
                   " SELECT 1 FROM ITLANCTOEST I WHERE I.CDFILIAL = RETITIPOPRAT.CDFILIAL AND I.NRLANCESTQ = :L"
                   " AND I.IDSTATUS <> 'D' AND I.CDTIPOPRAT = RETITIPOPRAT.CDTIPOPRAT AND I.CDPRATO = RETITIPOPRAT.CDPRATO"
                   " AND COALESCE(TRIM(I.CDFILAUXPRAT), '') = COALESCE(TRIM(RETITIPOPRAT.CDFILAUXPRAT), ''))",
                   {{"F", branch_}, {"R", withdrawal_}, {"L", posting_}});
    }

    void replacePlaceholders(Variant& delta) {
        if (!delta.IsPacket()) return;
        DataPacket p = delta.AsPacket();
        std::map<int, std::string> numbers;
        for (auto [f, v] : {std::pair{"NRLANCESTQ", &posting_}, std::pair{"NRLANCESTRT", &posting_},
                            std::pair{"NRRETIRADA", &withdrawal_}, std::pair{"NRCARDAPIO", &menu_}})
            if (int i = p.FieldIndex(f); i >= 0 && !v->empty()) numbers[i] = *v;
        for (PacketRow& row : p.rows)
            for (VariantArray* values : {&row.values, &row.original})
                for (auto& [i, nr] : numbers)
                    if (static_cast<size_t>(i) < values->size() && (*values)[i].IsString() &&
                        text::Trim((*values)[i].AsString()) == kNewCode)
                        (*values)[i] = Variant(nr);
        delta = Variant(std::move(p));
    }
};

}  // namespace

void RegisterConfirmation(Dispatcher& d) {
    d.Register(kModuleRetirada,
               {"Confirma_Lanc",
                {AnyArg("DELTALANCTO", true), AnyArg("DELTAITENS", true), Str("IDNOVOCARDAPIO", true),
                 Branch("CDFILIAL"), Branch("FILIPROC"), Str("NRCARDAPIO"), Str("NRLANCESTQ"), Str("NRRETIRADA"),
                 Str("IDESTONLINE"), Str("IDPERMESTNEG"), Day("DTINICIAL", true), Day("DTFINAL", true),
                 Str("DSIGNORA", true), Str("CDSERVFILI"), Day("DTCARDAPIO")},
                [](CallContext& ctx, VariantArray& a) { return Confirma(ctx, a).Run(); }, true, Access::Write});
}

}  // namespace appserver
