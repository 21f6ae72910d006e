#include "Cli_pla02015/model/FiltroRetiradaGeralModel.h"

#include <array>

namespace model {
namespace {

// qryGrupServ
constexpr std::array kqryGrupServFields{
    StringField("CDGRUPSERV", 20).Label("Código").Width(15),
    StringField("NMGRUPSERV", 20).Label("Nome").Width(40),
};
// SQL, SQL_MSSQL, SQL_IB
constexpr std::string_view kqryGrupServ_SQL = R"sql(SELECT
   CDGRUPSERV,
   NMGRUPSERV
FROM
   GRUPSERV
ORDER BY
   CDGRUPSERV)sql";

// qryServico: P_CDGRUPSERV holds the chosen group codes; P_TCDGRUPSERV "T" takes all groups.
constexpr std::array kqryServicoFields{
    StringField("CDSERVFILI", 20).Label("Código").Width(15),
    StringField("NMSERVICO", 20).Label("Nome").Width(40),
};
constexpr std::array<std::string_view, 3> kqryServicoParams{"P_CDGRUPSERV", "P_TCDGRUPSERV", "P_CDFILIAL"};
// SQL
constexpr std::string_view kqryServico_SQL = R"sql(SELECT
   CDSERVFILI,
   NMSERVICO
FROM
   SERVICO
WHERE
   (CDFILIAL   = :P_CDFILIAL) AND
   ((INSTR(:P_CDGRUPSERV, CDGRUPSERV) <> 0) OR (:P_TCDGRUPSERV = 'T')) AND
   (IDTIPOSERV <> 'A')        AND
   ((IDSERVATIV IS NULL) OR (IDSERVATIV <> 'N'))
ORDER BY
   CDSERVFILI)sql";
// SQL_MSSQL
constexpr std::string_view kqryServico_SQL_MSSQL = R"sql(SELECT
   CDSERVFILI,
   NMSERVICO
FROM
   SERVICO
WHERE
   (CDFILIAL   = :P_CDFILIAL) AND
   ((CHARINDEX(CDGRUPSERV, :P_CDGRUPSERV) <> 0) OR (:P_TCDGRUPSERV = 'T')) AND
   (IDTIPOSERV <> 'A')        AND
   ((IDSERVATIV IS NULL) OR (IDSERVATIV <> 'N'))
ORDER BY
   CDSERVFILI)sql";
// SQL_IB
constexpr std::string_view kqryServico_SQL_IB = R"sql(SELECT
   CDSERVFILI,
   NMSERVICO
FROM
   SERVICO,
   PARAM(:P_CDGRUPSERV) P_CDGRUPSERV,
   PARAM(:P_TCDGRUPSERV) P_TCDGRUPSERV
WHERE
   (CDFILIAL   = :P_CDFILIAL) AND
   ((INSTR(P_CDGRUPSERV.PARAM, CDGRUPSERV) <> 0) OR (P_TCDGRUPSERV.PARAM = 'T')) AND
   (IDTIPOSERV <> 'A')        AND
   ((IDSERVATIV IS NULL) OR (IDSERVATIV <> 'N'))
ORDER BY
   CDSERVFILI)sql";

constexpr QueryDef kQueries[] = {
    Query("qryGrupServ", kqryGrupServFields)
        .Sql(kqryGrupServ_SQL)
        .SqlMssql(kqryGrupServ_SQL)
        .SqlIb(kqryGrupServ_SQL),
    Query("qryServico", kqryServicoFields)
        .Sql(kqryServico_SQL)
        .SqlMssql(kqryServico_SQL_MSSQL)
        .SqlIb(kqryServico_SQL_IB)
        .Params(kqryServicoParams),
};

constexpr ConnectionDef kConnections[] = {
    {"netFiltroRetirada", "PLA02000.rdmRetirada", "netFiltroRetiradaBeforeConnect"},
};

}  // namespace

std::span<const QueryDef> FiltroRetiradaGeralQueries() { return kQueries; }

std::span<const ConnectionDef> FiltroRetiradaGeralConnections() { return kConnections; }

}  // namespace model
