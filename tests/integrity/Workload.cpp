#include "Workload.h"

#include "store/Sequences.h"

#include <algorithm>
#include <thread>

namespace integrity {

using namespace stockwriting;
namespace demo = store::demo;

namespace {

const char* const kModule = "Pla02000.rdmRetirada.";
// Little stock (a few KG at 0001's 000001/A01 and in 0002) beside products
// that have a few hundred: withdrawals compete for both.
const char* const kProducts[] = {"300001", "300002", "300004", "100001", "100002", "100003", "100004",
                                 "100006", "100007", "100008", "100009", "100010", "100011", "100012"};
constexpr int kProductCount = static_cast<int>(std::size(kProducts));

bool refusesNegative(const std::string& branch) { return branch == demo::kBranchLocations; }

std::string field(const DataPacket& p, const PacketRow& r, const char* f) {
    const int i = p.FieldIndex(f);
    return i < 0 || r.values[static_cast<size_t>(i)].IsNull() ? std::string()
                                                              : text::Trim(r.values[static_cast<size_t>(i)].AsString());
}

double quantity(const DataPacket& p, const PacketRow& r, const char* f) {
    const int i = p.FieldIndex(f);
    return i < 0 || r.values[static_cast<size_t>(i)].IsNull() ? 0.0 : r.values[static_cast<size_t>(i)].AsFloat();
}

}  // namespace

std::map<std::string, std::vector<std::string>> StockedProducts(db::SqlConnection& c) {
    std::map<std::string, std::vector<std::string>> out;
    for (const auto& [branch, place] : {std::pair<std::string, std::string>{demo::kBranchLocations,
                                                                            " AND M.CDALMOXARIFE = '000001'"
                                                                            " AND M.CDLOCALESTOQ = 'A01'"},
                                        {demo::kBranchPlain, ""}}) {
        auto r = c.Query("SELECT M.CDPRODESTO FROM MOVIESTQ M JOIN PRODUTO P ON P.CDPRODUTO = M.CDPRODESTO"
                         " JOIN PRODFILI F ON F.CDFILIAL = M.CDFILIAL AND F.CDPRODUTO = M.CDPRODESTO"
                         " WHERE M.CDFILIAL = :F AND (F.IDPRODATIV IS NULL OR F.IDPRODATIV <> 'I')"
                         " AND (P.IDCNTRESTOQ IS NULL OR P.IDCNTRESTOQ <> 'N') AND P.CDPRODESTO = P.CDPRODUTO" +
                             place + " GROUP BY M.CDPRODESTO HAVING SUM(M.QTMOVIESTQ) > 0 ORDER BY M.CDPRODESTO",
                         {{"F", branch}});
        for (const auto& row : r.rows) out[branch].push_back(text::Trim(row[0].AsString()));
    }
    return out;
}

void Figures::Merge(const Figures& other) {
    for (const auto& [k, n] : other.operations) operations[k] += n;
    for (const auto& [m, v] : other.latencyMs) latencyMs[m].insert(latencyMs[m].end(), v.begin(), v.end());
    itemsPosted += other.itemsPosted;
    lostAnswers += other.lostAnswers;
    unexpected.insert(unexpected.end(), other.unexpected.begin(), other.unexpected.end());
}

Operator::Operator(LossyClient& rpc, Deletions& deletions, uint32_t seed, WorkloadOptions options)
    : rpc_(rpc), deletions_(deletions), rng_(seed), o_(options), seed_(seed) {}

std::string Operator::key() { return "L" + std::to_string(seed_) + "-" + std::to_string(++keys_) + "-" + std::to_string(rng_()); }

void Operator::unexpected(const std::string& what, const Outcome& o) {
    std::string text = what + ": ";
    if (o.kind == Outcome::Error) text += "error " + std::to_string(o.code) + " " + o.text;
    else if (o.value.IsString()) text += o.value.AsString();
    else text += "an answer of another shape";
    if (figures_.unexpected.size() < 50) figures_.unexpected.push_back(text);
}

Outcome Operator::call(const std::string& method, VariantArray& args, bool writes) {
    const VariantArray sent = args;
    Loss loss = Loss::None;
    if (writes && chance(o_.lossRate)) loss = o_.cutConnections && chance(0.5) ? Loss::CutMidAnswer : Loss::DropAnswer;
    const auto giveUp = std::chrono::steady_clock::now() + o_.retryFor;
    for (int attempt = 0;; ++attempt) {
        const auto start = std::chrono::steady_clock::now();
        Outcome o = rpc_.Call(kModule + method, args, loss, static_cast<size_t>(pick(400)));
        if (o.kind != Outcome::Lost) {
            figures_.latencyMs[method].push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            return o;
        }
        // The answer is lost: the same call again, as the screen sends it.
        ++figures_.lostAnswers;
        loss = Loss::None;
        args = sent;
        if (std::chrono::steady_clock::now() > giveUp)
            throw Exception(method + ": no server answered for " + std::to_string(o_.retryFor.count()) + " s (" +
                            o.text + ")");
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(std::min(20 * attempt, 200)));
    }
}

ModelWithdrawal* Operator::pickLive(bool needTwoItems) {
    std::vector<ModelWithdrawal*> open;
    for (auto& w : live_)
        if (!w.parked && (!needTwoItems || w.items.size() >= 2)) open.push_back(&w);
    return open.empty() ? nullptr : open[static_cast<size_t>(pick(static_cast<int>(open.size())))];
}

Item Operator::newItem(ModelWithdrawal& w) {
    std::string product;
    for (int tries = 0; tries < 50 && product.empty(); ++tries) {
        auto pool = o_.products.find(w.branch);
        product = pool == o_.products.end() || pool->second.empty()
                      ? kProducts[pick(kProductCount)]
                      : pool->second[static_cast<size_t>(pick(static_cast<int>(pool->second.size())))];
        for (const Item& it : w.items)
            if (it.product == product) product.clear();
    }
    Item it{store::FormatNumber(++w.next, 4), product, 0.5 * (1 + pick(8))};
    if (w.branch == demo::kBranchLocations) {
        it.storeroom = "000001";
        it.location = "A01";
    }
    it.posting = w.posting.empty() ? "NOVOCODRET" : w.posting;
    it.withdrawal = w.withdrawal.empty() ? "NOVOCODRET" : w.withdrawal;
    return it;
}

// Confirma_Lanc of the items sent (inserted for a new withdrawal, else as
// marked); on success the model takes them. Returns whether it succeeded.
bool Operator::confirm(ModelWithdrawal& w, bool isNew, const std::vector<Item>& sent) {
    Header h;
    h.branch = w.branch;
    h.service = demo::kServiceOccasional;  // no meals billed: every withdrawal may be deleted
    h.key = key();
    if (!isNew) {
        h.posting = w.posting;
        h.withdrawal = w.withdrawal;
        h.menu = "";
        h.change = RowChange::Modified;
    }
    // The ignore list of "Grava" now and then, on both branches; the screen's
    // IDPERMESTNEG now and then the wrong one: the server decides by its own.
    const std::string ignore = chance(refusesNegative(w.branch) ? 0.1 : 0.4) ? "#LIB00200_3#" : "0";
    const std::string permNeg = (refusesNegative(w.branch) != chance(0.1)) ? "N" : "S";
    VariantArray args = confirmArgs(headerDelta(h), itemsDelta(w.branch, sent), h, ignore, permNeg);
    Outcome o = call("Confirma_Lanc", args, true);
    if (o.kind != Outcome::Answer || !o.value.IsPacket()) {
        unexpected("Confirma_Lanc " + w.branch + "/" + w.posting, o);
        return false;
    }
    const auto rows = rowsOf(o.value);
    const std::string posting = number(rows, "NRLANCESTQ");
    if (posting.empty() || posting == "(none)") return false;  // refused: rolled back whole
    std::set<std::string> refused;
    for (const Row& r : errorsOf(rows)) refused.insert(r.object);
    if (isNew) {
        w.posting = posting;
        w.withdrawal = number(rows, "NRRETIRADA");
    }
    for (Item it : sent) {
        it.posting = w.posting;
        it.withdrawal = w.withdrawal;
        it.change = RowChange::Modified;
        auto at = std::find_if(w.items.begin(), w.items.end(), [&](const Item& m) { return m.seq == it.seq; });
        if (it.status == "D") {
            if (at != w.items.end()) w.items.erase(at);
            w.pending.erase(it.seq);
            continue;
        }
        if (refused.count(it.product)) {
            w.pending.insert(it.seq);
        } else {
            if (it.consumed > 0) ++figures_.itemsPosted;
            w.pending.erase(it.seq);
        }
        if (at != w.items.end()) *at = it;
        else w.items.push_back(it);
    }
    return true;
}

void Operator::includeTyped() {
    ModelWithdrawal w;
    w.branch = pick(2) ? demo::kBranchLocations : demo::kBranchPlain;
    // Entering the items panel sends the header first: this service has no
    // requisition, so nothing is recorded and the items are typed.
    Header h;
    h.branch = w.branch;
    h.service = demo::kServiceOccasional;
    h.key = key();
    VariantArray grava = gravaArgs(h, refusesNegative(w.branch) ? "N" : "S");
    Outcome g = call("GravaRequisicao", grava, true);
    if (g.kind != Outcome::Answer || !g.value.IsArray() || !g.value.AsArray().at(0).IsNull())
        unexpected("GravaRequisicao " + w.branch + " " + h.service, g);
    std::vector<Item> items;
    for (int n = 1 + pick(o_.maxItems); n > 0; --n) {
        Item it = newItem(w);
        if (it.product.empty()) break;  // every product of the pool typed already
        w.items.push_back(it);  // for newItem's distinct products
        items.push_back(it);
    }
    w.items.clear();
    if (confirm(w, true, items)) live_.push_back(std::move(w));
}

void Operator::includeRequisition() {
    // 0001's JANTAR of the day: the planned requisition becomes the items.
    ModelWithdrawal w;
    w.branch = demo::kBranchLocations;
    Header h;
    h.branch = w.branch;
    h.service = demo::kServicePlain;
    h.key = key();
    VariantArray args = gravaArgs(h, "N");
    Outcome o = call("GravaRequisicao", args, true);
    if (o.kind != Outcome::Answer || !o.value.IsArray() || o.value.AsArray().size() < 4 ||
        !o.value.AsArray()[0].IsPacket()) {
        unexpected("GravaRequisicao 0001 JANTAR", o);
        return;
    }
    const VariantArray& r = o.value.AsArray();
    const DataPacket& header = r[0].AsPacket();
    w.posting = field(header, header.rows.at(0), "NRLANCESTQ");
    w.withdrawal = field(header, header.rows.at(0), "NRRETIRADA");
    const DataPacket& items = r[2].AsPacket();
    for (const PacketRow& row : items.rows) {
        Item it{field(items, row, "NRSEQUITEM"), field(items, row, "CDPRODUTO"), quantity(items, row, "QTTOTLANCTO")};
        it.storeroom = field(items, row, "CDALMOXARIFE");
        it.location = field(items, row, "CDLOCALESTOQ");
        if (it.storeroom.empty()) it.storeroom = " ";
        if (it.location.empty()) it.location = " ";
        it.posting = w.posting;
        it.withdrawal = w.withdrawal;
        it.change = RowChange::Modified;
        w.next = std::max(w.next, std::stoi(it.seq));
        w.items.push_back(it);
        w.pending.insert(it.seq);
    }
    live_.push_back(w);
    // Then the operator confirms it, the requisition's quantities as loaded.
    confirm(live_.back(), false, live_.back().items);
}

void Operator::alter() {
    ModelWithdrawal* w = pickLive();
    if (!w) return includeTyped();
    std::vector<Item> sent;
    if (Item added = newItem(*w); !added.product.empty() && (w->items.empty() || chance(0.3))) {
        added.change = RowChange::Inserted;
        sent.push_back(added);
    } else if (!w->items.empty()) {
        const size_t first = static_cast<size_t>(pick(static_cast<int>(w->items.size())));
        for (size_t n = 0; n < std::min<size_t>(w->items.size(), 1 + static_cast<size_t>(pick(2))); ++n) {
            Item it = w->items[(first + n) % w->items.size()];
            it.consumed = chance(0.15) ? 0.0 : 0.5 * (1 + pick(8));
            sent.push_back(it);
        }
    }
    if (!sent.empty()) confirm(*w, false, sent);
}

void Operator::deleteItem() {
    ModelWithdrawal* w = pickLive(true);
    if (!w) return alter();
    Item it = w->items[static_cast<size_t>(pick(static_cast<int>(w->items.size())))];
    it.status = "D";
    confirm(*w, false, {it});
}

void Operator::update() {
    ModelWithdrawal* w = pickLive();
    if (!w) return includeTyped();
    VariantArray ask{Variant(w->branch), Variant(w->withdrawal)};
    Outcome v = call("verifitens", ask, false);
    if (v.kind != Outcome::Answer || v.value.Type() != VarType::Bool) unexpected("verifitens " + w->withdrawal, v);
    VariantArray args{Variant(w->branch),     Variant(w->branch),  Variant(w->posting),
                      Variant(day(0)),        Variant(day(0)),     Variant(refusesNegative(w->branch) ? "N" : "S"),
                      Variant("0"),           Variant(w->withdrawal), Variant("")};
    Outcome o = call("AtualizaEstoque", args, true);
    if (o.kind != Outcome::Answer || !o.value.IsArray() || o.value.AsArray().size() < 2 ||
        !o.value.AsArray()[1].IsPacket()) {
        unexpected("AtualizaEstoque " + w->branch + "/" + w->posting, o);
        return;
    }
    const DataPacket& items = o.value.AsArray()[1].AsPacket();
    for (const PacketRow& row : items.rows) {
        const std::string seq = field(items, row, "NRSEQUITEM");
        if (field(items, row, "IDEVOLESTOQ") == "S" && w->pending.erase(seq) && quantity(items, row, "QTTOTLANCTO") > 0)
            ++figures_.itemsPosted;
    }
}

void Operator::deleteWithdrawal() {
    ModelWithdrawal* w = pickLive();
    if (!w) return includeTyped();
    const store::DeletedWithdrawal gone{w->branch, w->posting, w->withdrawal};
    {
        std::lock_guard lock(deletions_.mutex);
        deletions_.inFlight.insert(gone);
    }
    VariantArray args{Variant(w->branch), Variant(w->branch),  Variant(w->posting), Variant(w->withdrawal),
                      Variant(day(0)),    Variant(day(0)),     Variant(refusesNegative(w->branch) ? "N" : "S"),
                      Variant("0"),       Variant(""),         Variant(day(0)),     Variant("0000000000")};
    Outcome o = call("DelLancto", args, true);
    const bool whole = o.kind == Outcome::Answer && o.value.IsPacket() && o.value.AsPacket().rows.empty();
    {
        std::lock_guard lock(deletions_.mutex);
        deletions_.inFlight.erase(gone);
        if (whole) deletions_.done.insert(gone);
    }
    if (whole) {
        live_.erase(live_.begin() + (w - live_.data()));
        return;
    }
    if (o.kind != Outcome::Answer || !o.value.IsPacket()) {
        unexpected("DelLancto " + w->branch + "/" + w->posting, o);
        return;
    }
    // Deleted in part: the items named are kept, the others are gone.
    std::set<std::string> kept;
    for (const Row& r : errorsOf(rowsOf(o.value))) kept.insert(r.object);
    std::erase_if(w->items, [&](const Item& it) { return !kept.count(it.product); });
    w->parked = true;
}

void Operator::Step() {
    const int open = static_cast<int>(std::count_if(live_.begin(), live_.end(), [](auto& w) { return !w.parked; }));
    const std::string kinds[] = {"include", "include requisition", "alter", "delete item", "pending update",
                                 "delete withdrawal"};
    int kind;
    if (open == 0) kind = pick(5) == 0 ? 1 : 0;
    else if (open >= o_.maxLive) kind = 2 + pick(4);
    else {
        const int r = pick(100);
        kind = r < 22 ? 0 : r < 27 ? 1 : r < 52 ? 2 : r < 64 ? 3 : r < 76 ? 4 : 5;
    }
    ++figures_.operations[kinds[kind]];
    switch (kind) {
        case 0: includeTyped(); break;
        case 1: includeRequisition(); break;
        case 2: alter(); break;
        case 3: deleteItem(); break;
        case 4: update(); break;
        default: deleteWithdrawal(); break;
    }
}

void Operator::StepConfirmOrDelete() {
    const bool open = std::any_of(live_.begin(), live_.end(), [](auto& w) { return !w.parked; });
    const int kind = !open ? 0 : pick(3);
    ++figures_.operations[kind == 0 ? "include" : kind == 1 ? "alter" : "delete withdrawal"];
    if (kind == 0) includeTyped();
    else if (kind == 1) alter();
    else deleteWithdrawal();
}

}  // namespace integrity
