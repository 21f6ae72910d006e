// "Pla02000.rdmRetirada.AtualizaEstoque" and "verifitens" (contract in StockUpdate.h).
#include "modules/StockUpdate.h"

#include "core/Text.h"
#include "modules/Datasets.h"
#include "modules/ModuleSupport.h"
#include "modules/Modules.h"
#include "modules/RetiradaQueries.h"
#include "modules/StockPosting.h"
#include "store/StockLedger.h"

namespace appserver {

namespace ds = datasets;

namespace {

std::string code(const Variant& v) { return text::Trim(ArgText(v)); }
bool open(const std::string& number) { return number.empty() || number == "NOVOCODRET"; }

Variant atualizaEstoque(db::SqlConnection& c, VariantArray& a) {
    const std::string branch = code(a[0]), movBranch = code(a[1]), posting = code(a[2]);
    if (branch.empty()) Fail("Filial não informada.");
    if (!movBranch.empty() && movBranch != branch)
        Fail("Filial do movimento (" + movBranch + ") difere da filial informada (" + branch + ").");
    RequireBranch(c, branch);
    if (open(posting)) Fail("Retirada ainda não gravada: não há estoque a atualizar.");
    auto h = c.Query("SELECT NRRETIRADA, DTLANCESTQ FROM LANCTOEST WHERE CDFILIAL = :F AND NRLANCESTQ = :L",
                     {{"F", branch}, {"L", posting}});
    if (h.Empty()) Fail("Lançamento " + posting + " não encontrado na filial " + branch + ".");
    const std::string withdrawal = code(h.rows[0][0]);
    if (std::string w = code(a[7]); !open(w) && w != withdrawal)
        Fail("Lançamento " + posting + " não pertence à retirada " + w + ".");
    TDateTime day, end;
    db::ToDateTime(h.rows[0][1], day);
    if (!ArgDay(a[4], end) || end < day.DateOnly()) end = day.DateOnly();
    if (TDateTime p = ProcessingDate(c, branch); end < p) end = p;
    const PostingRules rules = ReadPostingRules(c, branch, end, code(a[6]));

    store::LockLedger(c, branch);
    ResultRows rows;
    auto pending = c.Query("SELECT NRSEQUITEM FROM ITLANCTOEST WHERE CDFILIAL = :F AND NRLANCESTQ = :L"
                           " AND IDEVOLESTOQ = 'N' AND IDSTATUS <> 'D' ORDER BY NRSEQUITEM",
                           {{"F", branch}, {"L", posting}});
    for (const auto& row : pending.rows)
        for (const StoredItem& it : ReadStoredItems(c, branch, posting, code(row[0])))
            MarkCarried(c, branch, it, SettleItem(c, rules, it, rows) == Settled::Posted);

    db::SqlParams key = {{"M", branch}, {"R", withdrawal}};
    return VarArrayOf({Variant(rows.Packet()), Variant(BuildPacket(ds::ItLanctoEst(), c.Query(sql::kItLanctoEst, key))),
                       Variant(BuildPacket(ds::RetiTipoPrat(), c.Query(sql::kRetiTipoPrat, key)))});
}

Variant verifItens(db::SqlConnection& c, VariantArray& a) {
    const std::string branch = code(a[0]), withdrawal = code(a[1]);
    if (branch.empty()) Fail("Filial não informada.");
    if (open(withdrawal)) Fail("Retirada não informada para a verificação dos itens no estoque.");
    auto r = c.Query(
        "SELECT I.NRSEQUITEM FROM LANCTOEST L, ITLANCTOEST I"
        " WHERE L.CDFILIAL = :F AND L.NRRETIRADA = :R AND I.CDFILIAL = L.CDFILIAL AND I.NRLANCESTQ = L.NRLANCESTQ"
        "   AND I.IDEVOLESTOQ = 'N' AND I.IDSTATUS <> 'D'",
        {{"F", branch}, {"R", withdrawal}});
    return Variant(!r.Empty());
}

}  // namespace

void RegisterStockUpdate(Dispatcher& d) {
    d.Register(kModuleRetirada,
               {"AtualizaEstoque",
                {Branch("CDFILIAL"), Branch("CDFILIMOVI"), Str("NRLANCESTQ"), Day("DTINICIAL", true),
                 Day("DTFINAL", true), Str("IDPERMESTNEG"), Str("DSIGNORA"), Str("NRRETIRADA"), Str("NRCARDAPIO")},
                [](CallContext& ctx, VariantArray& a) { return atualizaEstoque(ctx.Db(), a); }, true, Access::Write});
    d.Register(kModuleRetirada, {"verifitens", {Branch("CDFILIAL"), Str("NRRETIRADA")},
                                 [](CallContext& ctx, VariantArray& a) { return verifItens(ctx.Db(), a); }});
}

}  // namespace appserver
