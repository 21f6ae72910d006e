// "Pla02000.rdmRetirada": the read-only methods of the withdrawal screen.
// Argument orders are the screen's; packets carry the fields of the client
// dataset they fill (Datasets.h). Failures come back as texts.
#include "core/Text.h"
#include "modules/Confirmation.h"
#include "modules/Datasets.h"
#include "modules/Deletion.h"
#include "modules/GravaRequisicao.h"
#include "modules/HeaderReads.h"
#include "modules/ItemReads.h"
#include "modules/ModuleSupport.h"
#include "modules/Modules.h"
#include "modules/RetiradaGeral.h"
#include "modules/RetiradaQueries.h"
#include "modules/StockUpdate.h"
#include "store/StockLedger.h"

namespace appserver {

namespace ds = datasets;

namespace {

Variant getCtrlEstoque(db::SqlConnection& c, const std::string& branch, const std::string& product) {
    RequireBranch(c, branch);
    auto p = c.Query("SELECT IDCNTRESTOQ FROM PRODUTO WHERE CDPRODUTO = :P", {{"P", product}});
    if (p.Empty()) Fail("Produto " + product + " não cadastrado.");
    auto b = c.Query("SELECT IDCTRLESTQ FROM PARAMESTOQUE WHERE CDFILIAL = :F", {{"F", branch}});
    // A product controls stock in a branch only when the branch controls stock at all.
    bool branchControls = !b.Empty() && b.rows[0][0].AsString() == "S";
    std::string flag = branchControls && p.rows[0][0].AsString() == "S" ? "S" : "N";
    DataPacket out = EmptyPacket(ds::CtrlEstoque());
    out.rows.push_back({{Variant(flag)}, RowChange::Unmodified, {}});
    return Variant(std::move(out));
}

Variant getParamFilial(db::SqlConnection& c, const std::string& branch) {
    RequireBranch(c, branch);
    auto r = c.Query("SELECT IDPERMVISPOSEST, IDBLPRCOMEST FROM PARAMFILIAL WHERE CDFILIAL = :F", {{"F", branch}});
    if (r.Empty()) Fail("Parâmetros da filial " + branch + " não cadastrados.");
    return Variant(BuildPacket(ds::ParamFilial(), r));
}

Variant usaLocalizacao(db::SqlConnection& c, const std::string& branch) {
    RequireBranch(c, branch);
    auto r = c.Query("SELECT IDUSALOCALIZ FROM PARAMFILIAL WHERE CDFILIAL = :F", {{"F", branch}});
    return Variant(!r.Empty() && r.rows[0][0].AsString() == "S");
}

Variant getRomaRetirada(db::SqlConnection& c, VariantArray& a) {
    const std::string branch = ArgText(a[0]), service = text::Trim(ArgText(a[1])), marker = ArgText(a[2]);
    RequireBranch(c, branch);
    const bool all = text::SameText(marker, "T") || service.empty();
    TDateTime d;
    db::SqlParams p = {{"F", branch}, {"S", service}, {"T", all ? "T" : "N"}};
    // Whole days: [first, last + 1).
    auto bound = [&](const char* name, const Variant& v, int plus) {
        p.push_back({name, ArgDay(v, d) ? Variant(IncDay(d, plus)) : Variant()});
    };
    bound("LI", a[3], 0);
    bound("LF", a[4], 1);
    bound("CI", a[5], 0);
    bound("CF", a[6], 1);
    auto list = c.Query(sql::kRomaRetirada, p);
    auto services = c.Query(
        "SELECT IDBLOQALTPRA, CDSERVFILI, IDUTRETIPRAT FROM SERVICO"
        " WHERE CDFILIAL = :F AND (CDSERVFILI = :S OR :T = 'T') ORDER BY CDSERVFILI",
        p);
    return VarArrayOf({Variant(BuildPacket(ds::RomaRetirada(), std::move(list))), Variant(BuildPacket(ds::UtilizaRetiPrat(), services))});
}

Variant getMaxData(db::SqlConnection& c, const std::string& branch) {
    RequireBranch(c, branch);
    auto r = c.Query("SELECT MAX(DTLANCESTQ) AS DTLANCESTQ, MAX(DTCARDAPIO) AS DTCARDAPIO FROM LANCTOEST"
                     " WHERE CDFILIAL = :F",
                     {{"F", branch}});
    return Variant(BuildPacket(ds::MaxData(), r));
}

Variant getLanctoEst(db::SqlConnection& c, VariantArray& a) {
    const std::string branch = ArgText(a[0]), movBranch = ArgText(a[1]), posting = ArgText(a[2]),
                      withdrawal = ArgText(a[3]);
    auto header = c.Query(sql::kLanctoEst, {{"F", branch}, {"M", movBranch}, {"L", posting}, {"R", withdrawal}});
    if (header.Empty()) Fail("Retirada " + withdrawal + " (lançamento " + posting + ") não encontrada na filial " + branch + ".");
    db::SqlParams key = {{"M", movBranch}, {"R", withdrawal}};
    return VarArrayOf({Variant(BuildPacket(ds::LanctoEst(), header)),
                       Variant(BuildPacket(ds::RetiTipoPrat(), c.Query(sql::kRetiTipoPrat, key))),
                       Variant(BuildPacket(ds::ItLanctoEst(), c.Query(sql::kItLanctoEst, key)))});
}

Variant getRetiTipoPrat(db::SqlConnection& c, VariantArray& a) {
    return Variant(BuildPacket(ds::RetiTipoPrat(), c.Query(sql::kRetiTipoPrat, {{"M", ArgText(a[0])}, {"R", ArgText(a[1])}})));
}

Variant getItLanctoEst(db::SqlConnection& c, VariantArray& a) {
    return Variant(BuildPacket(ds::ItLanctoEst(), c.Query(sql::kItLanctoEst, {{"M", ArgText(a[0])}, {"R", ArgText(a[1])}})));
}

// By product: the sums of the items, the cost (the items' total value, or the
// consumed quantity at the product's branch cost where an item has none) and
// the stock of the day in the product's own unit, all in one query.
Variant getResumoItemReti(db::SqlConnection& c, VariantArray& a) {
    const std::string movBranch = ArgText(a[0]), withdrawal = ArgText(a[1]);
    TDateTime day;
    if (!ArgDay(a[2], day)) Fail("Data da retirada não informada.");
    static const std::string sql = "SELECT R.*, " + store::PositionQuantitySql(":M", "R.CDPRODESTO", "D") +
                                   " AS QTPOSICAO FROM (" + sql::kResumo + ") R ORDER BY R.CDARVPROD";
    auto rows = c.Query(sql, {{"M", movBranch}, {"R", withdrawal}, {"D", day.DateOnly()}});
    DataPacket p = BuildPacket(ds::Resumo(), rows);
    const int iStock = p.FieldIndex("QTESTDIACON");
    const int iPosition = rows.ColumnIndex("QTPOSICAO"), iFactor = rows.ColumnIndex("VRFATOCONV");
    for (size_t r = 0; r < p.rows.size(); ++r) {
        double factor = rows.rows[r][iFactor].IsNull() ? 1.0 : rows.rows[r][iFactor].AsFloat();
        if (factor <= 0) factor = 1.0;
        const Variant& position = rows.rows[r][iPosition];
        p.rows[r].values[iStock] = Variant((position.IsNull() ? 0.0 : position.AsFloat()) / factor);
    }
    return Variant(std::move(p));
}

Variant getLocalizacao(db::SqlConnection& c, VariantArray& a) {
    return Variant(BuildPacket(ds::Localizacao(), c.Query(sql::kLocalizacao, {{"F", ArgText(a[0])}, {"R", ArgText(a[1])}})));
}

Variant getTipoReti(db::SqlConnection& c) {
    return Variant(BuildPacket(ds::TipoReti(), c.Query("SELECT CDTIPORETI, NMTIPORETI FROM TIPORETI ORDER BY CDTIPORETI")));
}

}  // namespace

void RegisterRetiradaModule(Dispatcher& d) {
    auto reg = [&d](const char* name, std::vector<ArgSpec> args, MethodFn fn) {
        d.Register(kModuleRetirada, {name, std::move(args), std::move(fn)});
    };
    reg("GetCtrlEstoque", {Branch("CDFILIAL"), Str("CDPRODUTO")},
        [](CallContext& ctx, VariantArray& a) { return getCtrlEstoque(ctx.Db(), ArgText(a[0]), ArgText(a[1])); });
    reg("GetParamFilial", {Branch("CDFILIAL")},
        [](CallContext& ctx, VariantArray& a) { return getParamFilial(ctx.Db(), ArgText(a[0])); });
    reg("UsaLocalizacao", {Branch("CDFILIAL")},
        [](CallContext& ctx, VariantArray& a) { return usaLocalizacao(ctx.Db(), ArgText(a[0])); });
    reg("GetRomaRetirada",
        {Branch("CDFILIAL", true), Str("CDSERVFILI", true), Str("IDTODOS", true), Day("DTRETIRADAINI", true),
         Day("DTRETIRADAFIN", true), Day("DTCARDAPIOINI", true), Day("DTCARDAPIOFIN", true)},
        [](CallContext& ctx, VariantArray& a) { return getRomaRetirada(ctx.Db(), a); });
    reg("getMaxData", {Branch("CDFILIAL")}, [](CallContext& ctx, VariantArray& a) { return getMaxData(ctx.Db(), ArgText(a[0])); });
    reg("GetLanctoEst",
        {Branch("CDFILIAL"), Branch("CDFILIMOVI"), Str("NRLANCESTQ"), Str("NRRETIRADA"), Str("NRCARDAPIO")},
        [](CallContext& ctx, VariantArray& a) { return getLanctoEst(ctx.Db(), a); });
    reg("GetRetiTipoPrat", {Branch("CDFILIMOVI"), Str("NRRETIRADA"), Str("NRCARDAPIO")},
        [](CallContext& ctx, VariantArray& a) { return getRetiTipoPrat(ctx.Db(), a); });
    reg("GetResumoItemReti", {Branch("CDFILIMOVI"), Str("NRRETIRADA"), Day("DTLANCESTQ")},
        [](CallContext& ctx, VariantArray& a) { return getResumoItemReti(ctx.Db(), a); });
    reg("GetItLanctoEst", {Branch("CDFILIMOVI"), Str("NRRETIRADA")},
        [](CallContext& ctx, VariantArray& a) { return getItLanctoEst(ctx.Db(), a); });
    reg("GetLocalizacao", {Branch("CDFILIAL"), Str("NRRETIRADA")},
        [](CallContext& ctx, VariantArray& a) { return getLocalizacao(ctx.Db(), a); });
    reg("GetTipoReti", {}, [](CallContext& ctx, VariantArray&) { return getTipoReti(ctx.Db()); });
    RegisterHeaderReads(d);
    RegisterGravaRequisicao(d);
    RegisterConfirmation(d);
    RegisterStockUpdate(d);
    RegisterDeletion(d);
    RegisterItemReads(d);
    RegisterRetiradaGeral(d);
}

}  // namespace appserver
