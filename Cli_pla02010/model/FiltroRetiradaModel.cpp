#include "Cli_pla02010/model/FiltroRetiradaModel.h"

#include <array>

namespace model {
namespace {

// Both queries share the BeforeOpen handler qryServicoBeforeOpen, which sets the branch.

// qryServico
constexpr std::array kqryServicoFields{
    StringField("CDSERVFILI", 5).Label("Código").Required().Width(8),
    StringField("NMSERVICO", 40).Label("Nome").Required().Width(50),
};
constexpr std::array<std::string_view, 1> kqryServicoParams{"P_CDFILIAL"};
// SQL, SQL_ORACLE, SQL_MSSQL, SQL_IB
constexpr std::string_view kqryServico_SQL = R"sql(SELECT CDSERVFILI, NMSERVICO
FROM SERVICO
WHERE (CDFILIAL   = :P_CDFILIAL)                               AND
      (IDSERVATIV <> 'N')
ORDER BY CDSERVFILI)sql";

// qryVDServico
constexpr std::array kqryVDServicoFields{
    StringField("CDSERVFILI", 5).Required(),
    StringField("NMSERVICO", 40),
    StringField("IDSERVATIV", 1),
};
constexpr std::array<std::string_view, 2> kqryVDServicoParams{"P_CDFILIAL", "P_CDSERVFILI"};
// SQL, SQL_ORACLE, SQL_MSSQL, SQL_IB
constexpr std::string_view kqryVDServico_SQL = R"sql(SELECT CDSERVFILI, NMSERVICO, IDSERVATIV
FROM SERVICO
WHERE (CDFILIAL   = :P_CDFILIAL)                               AND
      (CDSERVFILI = :P_CDSERVFILI)
ORDER BY CDSERVFILI)sql";

// cdsMaxData
constexpr std::array kcdsMaxDataFields{
    DateTimeField("DTLANCESTQ").ReadOnly(),
    DateTimeField("DTCARDAPIO").ReadOnly(),
};

constexpr DataSetDef kDataSets[] = {
    DataSet("cdsMaxData", kcdsMaxDataFields),
};

constexpr QueryDef kQueries[] = {
    Query("qryServico", kqryServicoFields)
        .Sql(kqryServico_SQL)
        .SqlOracle(kqryServico_SQL)
        .SqlMssql(kqryServico_SQL)
        .SqlIb(kqryServico_SQL)
        .Params(kqryServicoParams)
        .BeforeOpen("qryServicoBeforeOpen"),
    Query("qryVDServico", kqryVDServicoFields)
        .Sql(kqryVDServico_SQL)
        .SqlOracle(kqryVDServico_SQL)
        .SqlMssql(kqryVDServico_SQL)
        .SqlIb(kqryVDServico_SQL)
        .Params(kqryVDServicoParams)
        .BeforeOpen("qryServicoBeforeOpen"),
};

}  // namespace

std::span<const DataSetDef> FiltroRetiradaDataSets() { return kDataSets; }

std::span<const QueryDef> FiltroRetiradaQueries() { return kQueries; }

}  // namespace model
