// "Pla02000.rdmRetirada.DelLancto" (contract in Deletion.h).
#include "modules/Deletion.h"

#include "core/Text.h"
#include "db/SqlConnection.h"
#include "modules/ExtraRequisition.h"
#include "modules/ModuleSupport.h"
#include "modules/Modules.h"
#include "modules/StockPosting.h"
#include "store/StockLedger.h"

namespace appserver {

namespace {

std::string code(const Variant& v) { return text::Trim(ArgText(v)); }
bool open(const std::string& number) { return number.empty() || number == "NOVOCODRET"; }

Variant delLancto(CallContext& ctx, VariantArray& a) {
    db::SqlConnection& c = ctx.Db();
    const std::string branch = code(a[0]), movBranch = code(a[1]), posting = code(a[2]);
    if (branch.empty()) Fail("Filial não informada.");
    if (!movBranch.empty() && movBranch != branch)
        Fail("Filial do movimento (" + movBranch + ") difere da filial informada (" + branch + ").");
    RequireBranch(c, branch);
    if (open(posting)) Fail("Retirada ainda não gravada: não há o que excluir no servidor.");
    RequireRight(c, ctx, "EXCLUSAO_RETIRADA", "Operador sem direito de excluir retiradas.");

    ResultRows rows;
    auto h = c.Query("SELECT NRRETIRADA, CDSERVFILI, DTCARDAPIO, DTLANCESTQ FROM LANCTOEST"
                     " WHERE CDFILIAL = :F AND NRLANCESTQ = :L",
                     {{"F", branch}, {"L", posting}});
    if (h.Empty()) return Variant(rows.Packet());  // deleted already
    const std::string withdrawal = code(h.rows[0][0]);
    if (std::string w = code(a[3]); !open(w) && w != withdrawal)
        Fail("Lançamento " + posting + " não pertence à retirada " + w + ".");
    TDateTime menuDay, day, end;
    db::ToDateTime(h.rows[0][2], menuDay);
    db::ToDateTime(h.rows[0][3], day);
    if (!c.Query("SELECT 1 FROM EFETIVOSERV WHERE CDFILIAL = :F AND CDSERVFILI = :S AND DTEFETIVO >= :D"
                 " AND DTEFETIVO < :E AND IDFATURADO = 'S'",
                 {{"F", branch}, {"S", h.rows[0][1]}, {"D", menuDay.DateOnly()}, {"E", IncDay(menuDay.DateOnly(), 1)}})
             .Empty())
        Fail("EFET_FATU");
    if (!ArgDay(a[5], end) || end < day.DateOnly()) end = day.DateOnly();
    if (TDateTime p = ProcessingDate(c, branch); end < p) end = p;
    const PostingRules rules = ReadPostingRules(c, branch, end, code(a[7]));

    store::LockLedger(c, branch);
    // All or nothing: an item the ledger cannot give back keeps the whole
    // withdrawal as it was, so an answer with error rows always means that
    // nothing changed (the screen reads it so, and keeps the withdrawal).
    db::Transaction reversal(c);
    for (const StoredItem& it : ReadStoredItems(c, branch, posting)) {
        if (ReverseItem(c, rules, it, rows) != Settled::Posted) continue;
        c.Execute("DELETE FROM ITLANCTOEST WHERE CDFILIAL = :F AND NRLANCESTQ = :L AND NRSEQUITEM = :I",
                  {{"F", branch}, {"L", posting}, {"I", it.item}});
    }
    if (rows.Errors() > 0) return Variant(rows.Packet());
    c.Execute("DELETE FROM RETITIPOPRAT WHERE CDFILIAL = :F AND NRRETIRADA = :R", {{"F", branch}, {"R", withdrawal}});
    ReleaseRequisition(c, branch, posting);
    c.Execute("DELETE FROM LANCTOEST WHERE CDFILIAL = :F AND NRLANCESTQ = :L", {{"F", branch}, {"L", posting}});
    reversal.Commit();
    return Variant(rows.Packet());
}

}  // namespace

void RegisterDeletion(Dispatcher& d) {
    d.Register(kModuleRetirada,
               {"DelLancto",
                {Branch("CDFILIAL"), Branch("CDFILIMOVI"), Str("NRLANCESTQ"), Str("NRRETIRADA"), Day("DTINICIAL", true),
                 Day("DTFINAL", true), Str("IDPERMESTNEG"), Str("DSIGNORA", true), Str("NRCARDAPIO"),
                 Day("DTLANCESTQ"), Str("NRREQUEXTRRE")},
                [](CallContext& ctx, VariantArray& a) { return delLancto(ctx, a); }, true, Access::Write});
}

}  // namespace appserver
