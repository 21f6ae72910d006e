// "Est00000.rdmEstoque": the branch's stock parameters and the server side of
// the stock library (inventories, releases of closed days, stock position,
// rounding, default storeroom and location).
#include "core/Text.h"
#include "db/SqlDialect.h"
#include "modules/Datasets.h"
#include "modules/ModuleSupport.h"
#include "modules/Modules.h"
#include "store/StockLedger.h"
#include "store/UsualPlace.h"

#include <cmath>

namespace appserver {

namespace ds = datasets;

namespace {

Variant getParamEstoque(db::SqlConnection& c, const std::string& branch) {
    RequireBranch(c, branch);
    auto r = c.Query("SELECT P.*, D.DTPROCESSA FROM PARAMESTOQUE P LEFT JOIN DATAPROC D ON D.CDFILIAL = P.CDFILIAL"
                     " WHERE P.CDFILIAL = :F",
                     {{"F", branch}});
    if (r.Empty()) Fail("Parâmetros de estoque não cadastrados para a filial " + branch + ".");
    return Variant(BuildPacket(ds::ParamEstoque(), r));
}

// Stock may not move while a general inventory (one that counts the whole
// stock: no product list) is open in the branch on or before that day. An
// inventory of a few products blocks only those, at posting.
Variant validaInventario(db::SqlConnection& c, const std::string& branch, const Variant& date) {
    RequireBranch(c, branch);
    TDateTime day;
    if (!ArgDay(date, day)) Fail("Data não informada para a verificação de inventário.");
    auto r = c.Query(
        "SELECT N.NRINVENTARIO, N.DTINVENTARIO FROM INVENTARIO N"
        " WHERE N.CDFILIAL = :F AND N.IDSITUACAO = 'A' AND N.DTINVENTARIO < :D"
        "   AND NOT EXISTS (SELECT 1 FROM ITINVENTARIO I WHERE I.CDFILIAL = N.CDFILIAL AND I.NRINVENTARIO = N.NRINVENTARIO)"
        " ORDER BY N.DTINVENTARIO",
        {{"F", branch}, {"D", IncDay(day, 1)}});
    if (!r.Empty()) {
        TDateTime when;
        db::ToDateTime(r.rows[0][1], when);
        Fail("Existe inventário em andamento na filial " + branch + " (inventário " + r.rows[0][0].AsString() +
             " de " + DateToStr(when) + "). Movimentação de estoque bloqueada.");
    }
    return Variant(true);
}

// A day before the branch's processing date is closed; changing it needs a
// release recorded for that day. Answers [closed, released].
Variant verificaLiberacao(db::SqlConnection& c, const std::string& branch, const Variant& date) {
    RequireBranch(c, branch);
    TDateTime day;
    if (!ArgDay(date, day)) Fail("Data não informada para a verificação de liberação.");
    bool closed = day < ProcessingDate(c, branch);
    bool released = false;
    if (closed)
        released = !c.Query("SELECT CDOPERADOR FROM LIBERACAO WHERE CDFILIAL = :F AND DTLIBERADA = :D",
                            {{"F", branch}, {"D", day}})
                        .Empty();
    return VarArrayOf({Variant(closed), Variant(released)});
}

// The branch is checked by the dispatcher; the right here, whatever the client asked before.
Variant gravaLiberacao(db::SqlConnection& c, const CallContext& ctx, const std::string& branch, const Variant& date) {
    const std::string& op = ctx.Operator;
    RequireBranch(c, branch);
    TDateTime day;
    if (!ArgDay(date, day)) Fail("Data não informada para a liberação.");
    RequireRight(c, ctx, "LIBERACAO_DATA", "Operador " + op + " sem direito de liberar alterações em data fechada.");
    // A release given twice (or by two calls at once) stays the first one.
    c.Execute(db::DialectOf(c).Upsert("LIBERACAO", {"CDFILIAL", "DTLIBERADA", "CDOPERADOR", "DTHRLIBERA"},
                                      {"CDFILIAL", "DTLIBERADA", "CDOPERADOR"}, {}),
              {{"CDFILIAL", branch}, {"DTLIBERADA", day}, {"CDOPERADOR", op}, {"DTHRLIBERA", Now()}});
    return Variant(true);
}

// A blank (" ") or empty place text means "any" in a position query.
std::string placeFilter(const Variant& v) { return text::Trim(v.AsString()); }

Variant consultaPosEstDia(db::SqlConnection& c, VariantArray& a) {
    const std::string branch = ArgText(a[0]), product = text::Trim(ArgText(a[1]));
    RequireBranch(c, branch);
    TDateTime day;
    if (!ArgDay(a[6], day)) Fail("Data não informada para a posição de estoque.");
    auto r = c.Query(
        "SELECT P.CDPRODUTO, P.NMPRODUTO, P.SGUNIDADE, P.IDCNTRESTOQ, P.CDPRODESTO, P.VRFATOCONV,"
        "       F.VRCUSTOPROD, E.IDCTRLESTQ"
        "  FROM PRODUTO P"
        "  LEFT JOIN PRODFILI F ON F.CDFILIAL = :F AND F.CDPRODUTO = P.CDPRODUTO"
        "  LEFT JOIN PARAMESTOQUE E ON E.CDFILIAL = :F"
        " WHERE P.CDPRODUTO = :P",
        {{"F", branch}, {"P", product}});
    if (r.Empty()) Fail("Produto " + product + " não cadastrado.");
    const auto& row = r.rows[0];
    double factor = row[5].IsNull() ? 1.0 : row[5].AsFloat();
    if (factor <= 0) factor = 1.0;
    store::StockPlace place{placeFilter(a[2]), placeFilter(a[3]), placeFilter(a[4]), placeFilter(a[5])};
    store::StockPosition pos = store::PositionOfDay(c, branch, row[4].AsString(), day, place);
    double branchCost = row[6].IsNull() ? 0.0 : row[6].AsFloat();
    // The cost is per stock unit, the unit the item's stock quantity counts in
    // (its value is that quantity times this cost). Cost type 1 is the
    // ledger's average cost; any other type, or no entries yet, the branch's
    // cost of the product, which is per product unit.
    int costType = a[7].IsNull() ? 0 : static_cast<int>(a[7].AsInteger());
    double cost = costType == 1 && pos.averageCost > 0 ? pos.averageCost : branchCost / factor;
    bool controls = row[3].AsString() == "S" && row[7].AsString() == "S";
    DataPacket p = EmptyPacket(ds::PosEstDia());
    p.rows.push_back({{row[0], row[1], row[2], Variant(pos.quantity / factor), Variant(controls ? "S" : "N"), row[4],
                       Variant(cost)},
                      RowChange::Unmodified,
                      {}});
    for (auto& v : p.rows[0].values)
        if (v.IsString()) v = Variant(text::TrimRight(v.AsString()));
    return Variant(std::move(p));
}

// Quantities of products counted in whole pieces go up to the next whole
// piece; weights and volumes keep three decimals.
Variant arredondParametrizado(db::SqlConnection& c, const std::string& product, const Variant& quantity) {
    auto r = c.Query("SELECT SGUNIDADE FROM PRODUTO WHERE CDPRODUTO = :P", {{"P", product}});
    if (r.Empty()) Fail("Produto " + product + " não cadastrado.");
    double q = ArgQuantity(quantity);
    std::string unit = text::Upper(text::Trim(r.rows[0][0].AsString()));
    static const char* whole[] = {"UN", "PC", "PCT", "CX", "DZ", "FD", "LT"};
    for (const char* w : whole)
        if (unit == w) return Variant(std::ceil(q - 1e-9));
    return Variant(std::round(q * 1000.0) / 1000.0);
}

// The product's usual place in the branch (store::UsualPlace).
Variant getProdAlmoxPadrao(db::SqlConnection& c, const std::string& branch, const std::string& product) {
    RequireBranch(c, branch);
    auto p = c.Query("SELECT CDPRODESTO FROM PRODUTO WHERE CDPRODUTO = :P", {{"P", product}});
    if (p.Empty()) Fail("Produto " + product + " não cadastrado.");
    const store::StockPlace place = store::UsualPlace(c, branch, p.rows[0][0].AsString());
    return VarArrayOf({Variant(place.storeroom), Variant(place.location)});
}

}  // namespace

void RegisterEstoqueModule(Dispatcher& d) {
    auto reg = [&d](const char* name, std::vector<ArgSpec> args, MethodFn fn, Access access = Access::Read) {
        d.Register(kModuleEstoque, {name, std::move(args), std::move(fn), true, access});
    };
    // The 2nd and 3rd arguments ("S", "10") are accepted as the screen passes them; they select nothing here.
    reg("GetParamEstoque", {Branch("CDFILIAL"), AnyArg("IDPARAM"), AnyArg("NRPARAM")},
        [](CallContext& ctx, VariantArray& a) { return getParamEstoque(ctx.Db(), ArgText(a[0])); });
    reg("ValidaInventario", {Branch("CDFILIAL"), Day("DATA")},
        [](CallContext& ctx, VariantArray& a) { return validaInventario(ctx.Db(), ArgText(a[0]), a[1]); });
    reg("VerificaLiberacao", {Branch("CDFILIAL"), Day("DATA")},
        [](CallContext& ctx, VariantArray& a) { return verificaLiberacao(ctx.Db(), ArgText(a[0]), a[1]); });
    reg("GravaLiberacao", {Branch("CDFILIAL"), Day("DATA")},
        [](CallContext& ctx, VariantArray& a) { return gravaLiberacao(ctx.Db(), ctx, ArgText(a[0]), a[1]); },
        Access::Write);
    reg("Consulta_PosEstDia",
        {Branch("CDFILIAL"), Str("CDPRODUTO"), Str("CDALMOXARIFE"), Str("CDLOCALESTOQ"), Str("NRLOTEESTQ"),
         Str("NRSUBLOTE"), Day("DATA"), Num("CDTIPCUSTEST"), Num("OPCAO")},
        [](CallContext& ctx, VariantArray& a) { return consultaPosEstDia(ctx.Db(), a); });
    reg("Arredond_Parametrizado", {Branch("CDFILIAL"), Str("CDPRODUTO"), Num("QUANTIDADE")},
        [](CallContext& ctx, VariantArray& a) { return arredondParametrizado(ctx.Db(), text::Trim(ArgText(a[1])), a[2]); });
    reg("GetProdAlmoxPadrao", {Branch("CDFILIAL"), Str("CDPRODUTO")},
        [](CallContext& ctx, VariantArray& a) { return getProdAlmoxPadrao(ctx.Db(), ArgText(a[0]), text::Trim(ArgText(a[1]))); });
}

}  // namespace appserver
