// "Pla02000.rdmRetirada": the reads behind the withdrawal header: the typed
// service, the requisitions (search list, a typed extra one, the one the
// header names, withdrawals already using one) and the change check that
// decides the menu. Argument orders are the screen's; packets carry the
// fields of the client dataset they fill. Failures come back as texts.
#include "core/Text.h"
#include "modules/Datasets.h"
#include "modules/HeaderReads.h"
#include "modules/ModuleSupport.h"
#include "modules/Modules.h"
#include "modules/RetiradaQueries.h"

#include <cstdio>

namespace appserver {

namespace ds = datasets;

namespace {

constexpr const char* kPlanned = "0000000000";
constexpr int kSearchDays = 10;  // the screen's own window around the processing date

using sql::kLiveWithdrawal;

std::string code(const Variant& v) { return text::Trim(ArgText(v)); }

// The branch argument (the dispatcher has checked the operator may use it): given and known.
std::string requireBranchArg(db::SqlConnection& c, const Variant& v) {
    std::string branch = code(v);
    if (branch.empty()) Fail("Filial não informada.");
    RequireBranch(c, branch);
    return branch;
}

std::string requireRequisition(const Variant& v) {
    std::string nr = code(v);
    if (nr.empty()) Fail("Requisição não informada.");
    return nr;
}

// Whole days [first, last]; bounds left null are the screen's window around
// the processing date. The window searched goes back through the references.
struct Window {
    TDateTime first, last;
    TDateTime end() const { return IncDay(last, 1); }  // exclusive
};
Window searchWindow(db::SqlConnection& c, const std::string& branch, Variant& from, Variant& to) {
    Window w;
    bool hasFirst = ArgDay(from, w.first), hasLast = ArgDay(to, w.last);
    if (!hasFirst || !hasLast) {
        TDateTime p = ProcessingDate(c, branch);
        if (!hasFirst) w.first = IncDay(p, -kSearchDays);
        if (!hasLast) w.last = IncDay(p, kSearchDays);
    }
    if (w.last < w.first) Fail("Período inválido: " + DateToStr(w.first) + " a " + DateToStr(w.last) + ".");
    from = Variant(w.first);
    to = Variant(w.last);
    return w;
}

std::string padded(const std::string& s, size_t width) {
    size_t n = text::Length(s);
    return n >= width ? s : s + std::string(width - n, ' ');
}

std::string dayKey(TDateTime d) {
    DateParts p = DecodeDate(d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", p.year, p.month, p.day);
    return buf;
}

}  // namespace

Variant GetVdServico(db::SqlConnection& c, const std::string& branch, const std::string& service) {
    if (service.empty()) Fail("Serviço não informado.");
    return Variant(BuildPacket(ds::VdServico(),
                               c.Query("SELECT CDSERVFILI, NMSERVICO, IDSERVATIV, IDTIPOSERV, IDBLOQINCPRODRETIPLA"
                                       "  FROM SERVICO WHERE CDFILIAL = :F AND CDSERVFILI = :S",
                                       {{"F", branch}, {"S", service}})));
}

Variant GetPrevRetiAux(db::SqlConnection& c, const std::string& branch, const std::string& requisition,
                       const std::string& service, const Variant& menuDate) {
    TDateTime day;
    const bool hasDay = ArgDay(menuDate, day);
    db::SqlParams p = {{"F", branch}, {"N", requisition}, {"S", service},
                       {"DI", hasDay ? Variant(day) : Variant()}, {"DF", hasDay ? Variant(IncDay(day, 1)) : Variant()}};
    // The planned requisition is one per service and day; an extra one is its
    // number alone, listed with the one matching the header first.
    std::string sql =
        "SELECT NRREQUEXTR, CDSERVFILI, DTPREVRETI FROM PREVRETI WHERE CDFILIAL = :F AND NRREQUEXTR = :N";
    if (requisition == kPlanned) sql += " AND CDSERVFILI = :S AND DTPREVRETI >= :DI AND DTPREVRETI < :DF";
    sql += " ORDER BY CASE WHEN CDSERVFILI = :S AND DTPREVRETI >= :DI AND DTPREVRETI < :DF THEN 0 ELSE 1 END,"
           " DTPREVRETI, CDSERVFILI";
    return Variant(BuildPacket(ds::PrevRetiAux(), c.Query(sql, p)));
}

Variant GetNrPrevReti(db::SqlConnection& c, const std::string& branch, Variant& from, Variant& to) {
    Window w = searchWindow(c, branch, from, to);
    // Services closed for withdrawals and extra requisitions already taken
    // could not be used, so they are not offered.
    auto r = c.Query(std::string(R"SQL(
SELECT P.NRREQUEXTR, P.CDSERVFILI, S.NMSERVICO, P.DTPREVRETI, P.IDPREVTPPRAT
  FROM PREVRETI P
  JOIN SERVICO S ON S.CDFILIAL = P.CDFILIAL AND S.CDSERVFILI = P.CDSERVFILI
 WHERE P.CDFILIAL = :F AND P.DTPREVRETI >= :DI AND P.DTPREVRETI < :DF
   AND COALESCE(S.IDSERVATIV, 'S') <> 'N'
   AND (P.NRREQUEXTR = ')SQL") + kPlanned +
                         R"SQL(' OR NOT EXISTS (
        SELECT 1 FROM LANCTOEST L WHERE L.CDFILIMOVI = P.CDFILIAL AND L.NRREQUEXTRRE = P.NRREQUEXTR AND)SQL" +
                         kLiveWithdrawal + R"SQL())
 ORDER BY P.DTPREVRETI, P.NRREQUEXTR, P.CDSERVFILI)SQL",
                     {{"F", branch}, {"DI", w.first}, {"DF", w.end()}});
    DataPacket out = EmptyPacket(ds::NrPrevReti());
    for (const auto& row : r.rows) {
        TDateTime d;
        db::ToDateTime(row[3], d);
        d = d.DateOnly();
        const std::string nr = text::TrimRight(row[0].AsString()), service = text::TrimRight(row[1].AsString());
        // A requisition's key: number, service and day (10 + 5 + 8 characters).
        std::string key = padded(nr, 10) + padded(service, 5) + dayKey(d);
        // DSTIPO and the list's date text DTPREVRETI are the client's to fill.
        out.rows.push_back({{Variant(key), Variant(nr), Variant(), Variant(text::TrimRight(row[2].AsString())),
                             Variant(d), Variant(), Variant(service), Variant(text::TrimRight(row[4].AsString())),
                             Variant(d)},
                            RowChange::Unmodified,
                            {}});
    }
    return Variant(std::move(out));
}

Variant GetVdPrevReti(db::SqlConnection& c, const std::string& branch, const std::string& requisition, Variant& from,
                      Variant& to) {
    Window w = searchWindow(c, branch, from, to);
    // The planned number names no requisition by itself.
    if (requisition == kPlanned) return Variant(EmptyPacket(ds::VdPrevReti()));
    return Variant(BuildPacket(
        ds::VdPrevReti(),
        c.Query("SELECT CDFILIAL, CDSERVFILI, DTPREVRETI, NRREQUEXTR FROM PREVRETI"
                " WHERE CDFILIAL = :F AND NRREQUEXTR = :N AND DTPREVRETI >= :DI AND DTPREVRETI < :DF"
                " ORDER BY DTPREVRETI, CDSERVFILI",
                {{"F", branch}, {"N", requisition}, {"DI", w.first}, {"DF", w.end()}})));
}

Variant GetPesqRequisicao(db::SqlConnection& c, const std::string& branch, const std::string& requisition) {
    // Any number of withdrawals may answer the planned requisition.
    if (requisition == kPlanned) return Variant(EmptyPacket(ds::PesqRequisicao()));
    return Variant(BuildPacket(
        ds::PesqRequisicao(),
        c.Query(std::string("SELECT L.NRREQUEXTRRE AS NRREQUEXTR, L.NRREQUEXTRRE FROM LANCTOEST L"
                            " WHERE L.CDFILIMOVI = :F AND L.NRREQUEXTRRE = :N AND") +
                    kLiveWithdrawal + " ORDER BY L.NRRETIRADA",
                {{"F", branch}, {"N", requisition}})));
}

Variant Verif_Alteracao(db::SqlConnection& c, const std::string& movBranch, const Variant& postingDate,
                        const std::string& branch, const std::string& service, const Variant& menuDate,
                        const std::string& prefix) {
    const bool diet = text::SameText(prefix, kDietPrefix);
    if (!diet && !prefix.empty()) Fail("Prefixo de cardápio inválido: " + prefix + ".");
    TDateTime day;
    // Dates and service not typed yet find nothing: the header's own checks report them.
    DataPacket result = EmptyPacket(ds::Retorno());
    if (ArgDay(postingDate, day) &&
        !c.Query("SELECT DTIMPLANTA FROM IMPLANTESTQ WHERE CDFILIAL = :F AND DTIMPLANTA >= :D AND DTIMPLANTA < :E",
                 {{"F", movBranch}, {"D", day}, {"E", IncDay(day, 1)}})
             .Empty())
        result.rows.push_back({{Variant(kImplantedKey), Variant(DateToStr(day)), Variant(movBranch), Variant()},
                               RowChange::Unmodified,
                               {}});
    DataPacket menu = EmptyPacket(ds::VerifCardapio());
    if (!service.empty() && ArgDay(menuDate, day))
        menu = BuildPacket(ds::VerifCardapio(),
                           c.Query("SELECT NRCARDAPIO FROM CARDAPIO WHERE CDFILIAL = :F AND CDSERVFILI = :S"
                                   " AND DTCARDAPIO >= :D AND DTCARDAPIO < :E ORDER BY NRCARDAPIO",
                                   {{"F", branch}, {"S", service}, {"D", day}, {"E", IncDay(day, 1)}}));
    // A diet menu is made from the service's standard diet; without one none can be made.
    bool standardDiet = !diet || !c.Query("SELECT CDDIETA FROM SERVDIETAPADR WHERE CDFILIAL = :F AND CDSERVFILI = :S",
                                          {{"F", branch}, {"S", service}})
                                      .Empty();
    return VarArrayOf({Variant(std::move(result)), Variant(std::move(menu)), Variant(standardDiet ? "S" : "N")});
}

void RegisterHeaderReads(Dispatcher& d) {
    auto reg = [&d](const char* name, std::vector<ArgSpec> args, MethodFn fn) {
        d.Register(kModuleRetirada, {name, std::move(args), std::move(fn)});
    };
    reg("getVdServico", {Branch("CDFILIAL"), Str("CDSERVFILI")}, [](CallContext& ctx, VariantArray& a) {
        return GetVdServico(ctx.Db(), requireBranchArg(ctx.Db(), a[0]), code(a[1]));
    });
    reg("GetPrevRetiAux", {Branch("CDFILIAL"), Str("NRREQUEXTR"), Str("CDSERVFILI"), Day("DTCARDAPIO")},
        [](CallContext& ctx, VariantArray& a) {
            return GetPrevRetiAux(ctx.Db(), requireBranchArg(ctx.Db(), a[0]), requireRequisition(a[1]), code(a[2]),
                                  a[3]);
        });
    reg("GetNrPrevReti", {Branch("CDFILIAL", true), Day("DTINICIAL", true), Day("DTFINAL", true)},
        [](CallContext& ctx, VariantArray& a) {
            return GetNrPrevReti(ctx.Db(), requireBranchArg(ctx.Db(), a[0]), a[1], a[2]);
        });
    reg("GetVdPrevReti", {Branch("CDFILIAL"), Str("NRREQUEXTR"), Day("DTINICIAL", true), Day("DTFINAL", true)},
        [](CallContext& ctx, VariantArray& a) {
            return GetVdPrevReti(ctx.Db(), requireBranchArg(ctx.Db(), a[0]), requireRequisition(a[1]), a[2], a[3]);
        });
    reg("GetPesqRequisicao", {Branch("CDFILIAL"), Str("NRREQUEXTR")}, [](CallContext& ctx, VariantArray& a) {
        return GetPesqRequisicao(ctx.Db(), requireBranchArg(ctx.Db(), a[0]), requireRequisition(a[1]));
    });
    reg("Verif_Alteracao",
        {Branch("CDFILIMOVI"), Day("DTLANCESTQ"), Branch("CDFILIAL"), Str("CDSERVFILI"), Day("DTCARDAPIO"), Str("PREFIXO")},
        [](CallContext& ctx, VariantArray& a) {
            return Verif_Alteracao(ctx.Db(), requireBranchArg(ctx.Db(), a[0]), a[1],
                                   requireBranchArg(ctx.Db(), a[2]), code(a[3]), a[4], code(a[5]));
        });
}

}  // namespace appserver
