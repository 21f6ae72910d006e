// "Pla02000.rdmRetirada": the reads behind item entry: the duplicate of an
// item at its place, the stock of the day against a withdrawal, the minimum
// stock. Argument orders are the screen's. Failures come back as texts.
#include "modules/ItemReads.h"

#include "core/Text.h"
#include "modules/Datasets.h"
#include "modules/ModuleSupport.h"
#include "modules/Modules.h"
#include "store/StockLedger.h"

#include <cmath>
#include <cstdio>

namespace appserver {

namespace ds = datasets;

namespace {

std::string code(const Variant& v) { return text::Trim(ArgText(v)); }

store::StockPlace stockPlace(const ItemPlace& p) {
    return {text::Trim(p.storeroom), text::Trim(p.location), text::Trim(p.lot), text::Trim(p.sublot)};
}

}  // namespace

bool Vd_ExistProdAlmox(db::SqlConnection& c, const std::string& branch, const std::string& withdrawal,
                       const std::string& product, const std::string& ownSeq, const ItemPlace& pl) {
    if (withdrawal.empty() || withdrawal == "NOVOCODRET") return false;
    // Places are stored blank when empty, dishes null: both compare trimmed.
    auto r = c.Query(
        "SELECT COUNT(*) FROM ITLANCTOEST I"
        " WHERE I.CDFILIMOVI = :F AND I.NRRETIRADA = :R AND I.CDPRODUTO = :P AND I.IDSTATUS <> 'D'"
        "   AND COALESCE(I.NRSEQUITRETI, '') <> :S"
        "   AND TRIM(I.CDALMOXARIFE) = :A AND TRIM(I.CDLOCALESTOQ) = :L"
        "   AND TRIM(I.NRLOTEESTQ) = :LT AND TRIM(I.NRSUBLOTE) = :SL"
        "   AND COALESCE(TRIM(I.CDTIPOPRAT), '') = :TP AND COALESCE(TRIM(I.CDPRATO), '') = :PR"
        "   AND COALESCE(TRIM(I.CDFILAUXPRAT), '') = :FP",
        {{"F", branch}, {"R", withdrawal}, {"P", product}, {"S", ownSeq}, {"A", text::Trim(pl.storeroom)},
         {"L", text::Trim(pl.location)}, {"LT", text::Trim(pl.lot)}, {"SL", text::Trim(pl.sublot)},
         {"TP", text::Trim(pl.dishType)}, {"PR", text::Trim(pl.dish)}, {"FP", text::Trim(pl.dishBranch)}});
    return r.rows[0][0].AsInteger() > 0;
}

Variant GetValidProd(db::SqlConnection& c, const std::string& branch, const ItemPlace& place,
                     const std::string& posting, const std::string& item, const std::string& product,
                     TDateTime nextDay, double quantity) {
    RequireBranch(c, branch);
    auto r = c.Query("SELECT CDARVPROD, CDPRODUTO, NMPRODUTO, SGUNIDADE, VRFATOCONV, CDPRODESTO FROM PRODUTO"
                     " WHERE CDPRODUTO = :P",
                     {{"P", product}});
    if (r.Empty()) Fail("Produto " + product + " não cadastrado.");
    const auto& row = r.rows[0];
    double factor = row[4].IsNull() ? 1.0 : row[4].AsFloat();
    if (factor <= 0) factor = 1.0;
    const std::string stockProduct = text::Trim(row[5].AsString());
    const TDateTime day = IncDay(nextDay.DateOnly(), -1);
    const store::StockPlace filter = stockPlace(place);

    store::StockPosition pos = store::PositionOfDay(c, branch, stockProduct, day, filter);
    bool moved = pos.moved || store::PositionOfDay(c, branch, stockProduct, day).moved;
    // Re-posting an item replaces what it moved before: that part is not gone.
    double own = posting.empty() || posting == "NOVOCODRET" || item.empty()
                     ? 0.0
                     : store::ItemQuantityOfDay(c, branch, stockProduct, posting, item, day, filter);
    const double stock = (pos.quantity - own) / factor;
    std::string qtNeg;
    if (moved) {
        double left = std::round((stock - quantity) * 1e5) / 1e5 + 0.0;
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.5f", left == 0 ? 0.0 : left);
        qtNeg = buf;
    }
    DataPacket p = EmptyPacket(ds::ValidProd());
    p.rows.push_back({{Variant(text::TrimRight(row[0].AsString())), Variant(text::TrimRight(row[1].AsString())),
                       Variant(text::TrimRight(row[2].AsString())),
                       row[3].IsNull() ? Variant() : Variant(text::TrimRight(row[3].AsString())), Variant(factor),
                       Variant(stock), Variant(qtNeg)},
                      RowChange::Unmodified,
                      {}});
    return Variant(std::move(p));
}

double GetEstoqMin(db::SqlConnection& c, const std::string& branch, const std::string& product) {
    RequireBranch(c, branch);
    auto r = c.Query("SELECT QTESTOQMIN FROM PRODFILI WHERE CDFILIAL = :F AND CDPRODUTO = :P",
                     {{"F", branch}, {"P", product}});
    return r.Empty() || r.rows[0][0].IsNull() ? 0.0 : r.rows[0][0].AsFloat();
}

void RegisterItemReads(Dispatcher& d) {
    auto reg = [&d](const char* name, std::vector<ArgSpec> args, MethodFn fn) {
        d.Register(kModuleRetirada, {name, std::move(args), std::move(fn)});
    };
    reg("Vd_ExistProdAlmox",
        {Branch("CDFILIAL"), Str("NRRETIRADA"), Str("CDPRODUTO"), Str("NRSEQUITRETI"), Str("CDALMOXARIFE"),
         Str("CDLOCALESTOQ"), Str("NRLOTEESTQ"), Str("NRSUBLOTE"), Str("CDTIPOPRAT"), Str("CDPRATO"),
         Str("CDFILAUXPRAT")},
        [](CallContext& ctx, VariantArray& a) {
            ItemPlace pl{ArgText(a[4]), ArgText(a[5]), ArgText(a[6]), ArgText(a[7]),
                         ArgText(a[8]), ArgText(a[9]), ArgText(a[10])};
            return Variant(Vd_ExistProdAlmox(ctx.Db(), code(a[0]), code(a[1]), code(a[2]), code(a[3]), pl));
        });
    // The four places come by reference and go back as they came.
    reg("GetValidProd",
        {Branch("CDFILIAL"), Str("CDALMOXARIFE", true), Str("CDLOCALESTOQ", true), Str("NRLOTEESTQ", true),
         Str("NRSUBLOTE", true), Branch("CDFILLANCTO"), Str("NRLANCESTQ"), Str("NRSEQUITEM"), Str("CDPRODMOVI"),
         Str("CDPRODUTO"), AnyArg("DTLIMITE"), Num("QUANTIDADE")},
        [](CallContext& ctx, VariantArray& a) {
            TDateTime next;
            if (!ArgDay(a[10], next)) Fail("Data não informada para a posição de estoque.");
            std::string product = code(a[9]);
            if (product.empty()) product = code(a[8]);
            ItemPlace pl{ArgText(a[1]), ArgText(a[2]), ArgText(a[3]), ArgText(a[4]), "", "", ""};
            return GetValidProd(ctx.Db(), code(a[0]), pl, code(a[6]), code(a[7]), product, next, ArgQuantity(a[11]));
        });
    for (const char* name : {"GetEstoqMin", "getEstoqMin"})
        reg(name, {Branch("CDFILIAL"), Str("CDPRODUTO")}, [](CallContext& ctx, VariantArray& a) {
            return Variant(GetEstoqMin(ctx.Db(), code(a[0]), code(a[1])));
        });
}

}  // namespace appserver
