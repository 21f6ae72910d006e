#include "Cli_pla02000/model/RetiradaQueries.h"

#include <array>

namespace model {
namespace {

// Where several databases share one text (they differ only in spacing), the
// text is held once and given to each of them.

// qryFilial
constexpr std::array kqryFilialFields{
    StringField("CDFILIAL", 4).Label("Código").EditMask(">aaaa;0; ").Required().Width(6),
    StringField("NMFILIAL", 30).Label("Nome").Required(),
    StringField("IDCNTRRESC", 1).Hidden(),
    StringField("CDEMPRESA", 2).Required().Hidden(),
    StringField("CDINSCMUNI", 16).Required().Hidden(),
    StringField("CDINSCESTA", 16).Required().Hidden(),
};
constexpr std::array<std::string_view, 2> kqryFilialParams{"P_CDFILIAL", "P_TCDFILIAL"};
// SQL, SQL_ORACLE, SQL_MSSQL
constexpr std::string_view kqryFilial_SQL = R"sql(SELECT CDFILIAL,  NMFILIAL,   IDCNTRRESC,
       CDEMPRESA, CDINSCMUNI, CDINSCESTA
FROM FILIAL
WHERE ((CDFILIAL = :P_CDFILIAL) OR (:P_TCDFILIAL = 'T'))
ORDER BY CDFILIAL)sql";

// qryServico
constexpr std::array kqryServicoFields{
    StringField("CDSERVFILI", 5).Label("Código").Required().Width(8),
    StringField("NMSERVICO", 40).Label("Nome").Width(50),
};
constexpr std::array<std::string_view, 1> kqryServicoParams{"P_CDFILIAL"};
// SQL, SQL_ORACLE, SQL_MSSQL, SQL_IB
constexpr std::string_view kqryServico_SQL = R"sql(SELECT CDSERVFILI, NMSERVICO
  FROM SERVICO
WHERE (CDFILIAL   = :P_CDFILIAL)
  AND (IDSERVATIV <> 'N')
ORDER BY CDSERVFILI)sql";

// qryFiliOffLine: no generic text, only the three dialects.
constexpr std::array kqryFiliOffLineFields{
    StringField("IDUTILOFFLINE", 1),
};
constexpr std::array<std::string_view, 1> kqryFiliOffLineParams{"P_CDFILIAL"};
// SQL
constexpr std::string_view kqryFiliOffLine_SQL = "";
// SQL_ORACLE
constexpr std::string_view kqryFiliOffLine_SQL_ORACLE = R"sql(SELECT NVL(A.IDUTILOFFLINE, 'N') AS IDUTILOFFLINE
  FROM FILIAL A
 WHERE (A.CDFILIAL = NVL(:P_CDFILIAL, CDFILIAL))
 ORDER BY 1)sql";
// SQL_MSSQL
constexpr std::string_view kqryFiliOffLine_SQL_MSSQL = R"sql(SELECT ISNULL(A.IDUTILOFFLINE, 'N') AS IDUTILOFFLINE
  FROM FILIAL A
 WHERE (A.CDFILIAL = ISNULL(:P_CDFILIAL, CDFILIAL))
 ORDER BY 1)sql";
// SQL_IB
constexpr std::string_view kqryFiliOffLine_SQL_IB = R"sql(SELECT CAST(NVLSTR(A.IDUTILOFFLINE, 'N') AS VARCHAR(01)) AS IDUTILOFFLINE
  FROM FILIAL A, PARAM(:P_CDFILIAL) P_CDFILIAL
 WHERE (A.CDFILIAL = CAST(NVLSTR(P_CDFILIAL.PARAM, CDFILIAL) AS VARCHAR(4)))
 ORDER BY 1)sql";

// qryRetOffLine
constexpr std::array kqryRetOffLineFields{
    StringField("CDFILIAL", 4),
};
constexpr std::array<std::string_view, 1> kqryRetOffLineParams{"P_CDFILIAL"};
// SQL
constexpr std::string_view kqryRetOffLine_SQL = R"sql(SELECT MAX(N.CDFILIAL) AS CDFILIAL
  FROM RETIRADA N
 WHERE N.CDFILIAL = :P_CDFILIAL)sql";

// qryProduto: qryProdutoBeforeOpen replaces its text and parameters by those
// of qryProdutoCache or qryProdutoSemCache, as PARAMGERAL.IDCACHPRODFI says.
constexpr std::array kqryProdutoFields{
    StringField("CDARVPROD", 20).Label("Código"),
    StringField("CDPRODUTO", 10).Label("Código").Required().Hidden().Width(15),
    StringField("NMPRODUTO", 50).Label("Nome").Required(),
    StringField("CDNVPRODUTO", 1).Required().Hidden(),
    StringField("SGUNIDADE", 10).Hidden(),
    StringField("CDPRODESTO", 10).Hidden(),
    FloatField("VRFATOCONV").Hidden(),
};
constexpr std::array<std::string_view, 1> kqryProdutoParams{"P_CDNVPRODUTO"};
// SQL
constexpr std::string_view kqryProduto_SQL = R"sql(SELECT
   CDARVPROD,
   CDPRODUTO,
   NMPRODUTO,
   CDNVPRODUTO,
   SGUNIDADE,
   CDPRODESTO,
   VRFATOCONV
FROM
   PRODUTO
WHERE
   CDNVPRODUTO = :P_CDNVPRODUTO AND
   CDPRODUTO   = CDPRODESTO
ORDER BY
   CDARVPROD)sql";

// qryProdutoCache
constexpr std::array kqryProdutoCacheFields{
    StringField("CDARVPROD", 20).Label("Código"),
    StringField("CDPRODUTO", 10).Label("Código").Required().Hidden().Width(15),
    StringField("NMPRODUTO", 50).Label("Nome").Required(),
    StringField("CDNVPRODUTO", 1).Required().Hidden(),
    StringField("SGUNIDADE", 10).Hidden(),
    StringField("CDPRODESTO", 10).Hidden(),
    FloatField("VRFATOCONV").Hidden(),
};
constexpr std::array<std::string_view, 2> kqryProdutoCacheParams{"P_CDNVPRODUTO", "P_CDFILIAL"};
// SQL
constexpr std::string_view kqryProdutoCache_SQL = R"sql(SELECT
   PR.CDARVPROD,
   PR.CDPRODUTO,
   PR.NMPRODUTO,
   PR.CDNVPRODUTO,
   PR.SGUNIDADE,
   PR.CDPRODESTO,
   PR.VRFATOCONV
FROM
   PRODUTO PR
WHERE
   PR.CDNVPRODUTO = :P_CDNVPRODUTO AND
   PR.CDPRODUTO   = PR.CDPRODESTO  AND
   NOT EXISTS (SELECT PF.CDPRODUTO
               FROM   PRODFILI PF
               WHERE  PF.CDFILIAL   = :P_CDFILIAL  AND
                      PF.IDPRODATIV = 'I'          AND
                      PF.CDPRODUTO  = PR.CDPRODUTO)
ORDER BY
   PR.CDARVPROD)sql";

// qryProdutoSemCache
constexpr std::array kqryProdutoSemCacheFields{
    StringField("CDARVPROD", 20).Label("Código"),
    StringField("CDPRODUTO", 10).Label("Código").Required().Hidden().Width(15),
    StringField("NMPRODUTO", 50).Label("Nome").Required(),
    StringField("CDNVPRODUTO", 1).Required().Hidden(),
    StringField("SGUNIDADE", 10).Hidden(),
    StringField("CDPRODESTO", 10).Hidden(),
    FloatField("VRFATOCONV").Hidden(),
};
constexpr std::array<std::string_view, 1> kqryProdutoSemCacheParams{"P_CDNVPRODUTO"};
// SQL
constexpr std::string_view kqryProdutoSemCache_SQL = R"sql(SELECT
   CDARVPROD,
   CDPRODUTO,
   NMPRODUTO,
   CDNVPRODUTO,
   SGUNIDADE,
   CDPRODESTO,
   VRFATOCONV
FROM
   PRODUTO
WHERE
   CDNVPRODUTO = :P_CDNVPRODUTO AND
   CDPRODUTO   = CDPRODESTO
ORDER BY
   CDARVPROD)sql";

// qryParamGeral
constexpr std::array kqryParamGeralFields{
    StringField("IDCACHPRODFI", 1),
};
// SQL
constexpr std::string_view kqryParamGeral_SQL = R"sql(SELECT
   IDCACHPRODFI
FROM
   PARAMGERAL)sql";

// qryPesqProduto: no text of its own; qryPesqProdutoBeforeOpen sets it.
constexpr std::array kqryPesqProdutoFields{
    StringField("CDARVPROD", 20).Label("Código"),
    StringField("CDPRODUTO", 10).Label("Código").Required().Hidden().Width(15),
    StringField("CDPRODESTO", 10).Hidden(),
    StringField("NMPRODUTO", 50).Label("Nome").Required(),
    StringField("SGUNIDADE", 10).Hidden(),
    StringField("CDNVPRODUTO", 1).Required().Hidden(),
};

// qryValidProduto
constexpr std::array kqryValidProdutoFields{
    StringField("CDARVPROD", 20),
    StringField("CDPRODUTO", 10).Required(),
    StringField("NMPRODUTO", 50),
    StringField("CDNVPRODUTO", 1),
    StringField("SGUNIDADE", 10),
    StringField("CDPRODESTO", 10),
    FloatField("VRFATOCONV"),
};
constexpr std::array<std::string_view, 1> kqryValidProdutoParams{"P_CDPRODUTO"};
// SQL
constexpr std::string_view kqryValidProduto_SQL = R"sql(SELECT
   CDARVPROD,
   CDPRODUTO,
   NMPRODUTO,
   CDNVPRODUTO,
   SGUNIDADE,
   CDPRODESTO,
   VRFATOCONV
FROM
   PRODUTO
WHERE
   CDARVPROD = :P_CDPRODUTO)sql";
// SQL_ORACLE, SQL_MSSQL
constexpr std::string_view kqryValidProduto_SQL_ORACLE = R"sql(SELECT CDARVPROD, CDPRODUTO, NMPRODUTO, CDNVPRODUTO, SGUNIDADE, CDPRODESTO, VRFATOCONV
FROM PRODUTO
WHERE (CDARVPROD = :P_CDPRODUTO))sql";

// qryExisteProdTReti
constexpr std::array kqryExisteProdTRetiFields{
    StringField("CDPRODRETI", 10),
};
constexpr std::array<std::string_view, 1> kqryExisteProdTRetiParams{"P_CDTIPORETI"};
// SQL
constexpr std::string_view kqryExisteProdTReti_SQL = R"sql(SELECT CDPRODRETI
  FROM PRODRETI
 WHERE CDTIPORETI = :P_CDTIPORETI)sql";

// qryValidProdReti
constexpr std::array kqryValidProdRetiFields{
    StringField("CDPRODUTO", 10),
    StringField("CDARVPROD", 20),
    StringField("NMPRODUTO", 50),
};
constexpr std::array<std::string_view, 2> kqryValidProdRetiParams{"P_CDPRODUTO", "P_CDTIPORETI"};
// SQL, SQL_ORACLE
constexpr std::string_view kqryValidProdReti_SQL = R"sql(SELECT P.CDPRODUTO, P.CDARVPROD, P.NMPRODUTO
  FROM PRODUTO P, PRODUTO PR, PRODRETI N
 WHERE P.CDARVPROD  = :P_CDPRODUTO
   AND P.CDARVPROD  LIKE PR.CDARVPROD||'%'
   AND N.CDTIPORETI = :P_CDTIPORETI
   AND N.CDPRODRETI = PR.CDPRODUTO)sql";
// SQL_MSSQL
constexpr std::string_view kqryValidProdReti_SQL_MSSQL = R"sql(SELECT P.CDPRODUTO, P.CDARVPROD, P.NMPRODUTO
  FROM PRODUTO P, PRODUTO PR, PRODRETI N
 WHERE P.CDARVPROD  = :P_CDPRODUTO
   AND P.CDARVPROD  LIKE PR.CDARVPROD+'%'
   AND N.CDTIPORETI = :P_CDTIPORETI
   AND N.CDPRODRETI = PR.CDPRODUTO)sql";

// qryTipoPrat
constexpr std::array kqryTipoPratFields{
    StringField("CDTIPOPRAT", 2).Label("Código").Required(),
    StringField("NMTIPOPRAT", 50).Label("Nome").Width(50),
};
constexpr std::array<std::string_view, 2> kqryTipoPratParams{"P_CDTIPOPRAT", "P_TCDTIPOPRAT"};
// SQL, SQL_ORACLE, SQL_MSSQL
constexpr std::string_view kqryTipoPrat_SQL = R"sql(SELECT CDTIPOPRAT, NMTIPOPRAT
FROM TIPOPRAT
WHERE (CDTIPOPRAT = :P_CDTIPOPRAT OR :P_TCDTIPOPRAT = 'T')
ORDER BY CDTIPOPRAT)sql";

// qryPrato
constexpr std::array kqryPratoFields{
    StringField("CDPRATO", 10).Label("Código").Required().Width(20),
    StringField("CDFILAUXPRAT", 4).Required().Hidden(),
    StringField("NMPRATO", 40).Label("Nome"),
};
constexpr std::array<std::string_view, 2> kqryPratoParams{"P_CDFILIAL", "P_NIVEL"};
// SQL, SQL_ORACLE, SQL_MSSQL
constexpr std::string_view kqryPrato_SQL = R"sql(SELECT CDPRATO, CDFILAUXPRAT, NMPRATO
FROM PRATO
WHERE(CDFILAUXPRAT = :P_CDFILIAL OR CDFILAUXPRAT = 'P') AND
     (CDNVPRATO    = :P_NIVEL)
ORDER BY CDPRATO)sql";

// qryValidaPrato
constexpr std::array kqryValidaPratoFields{
    StringField("CDPRATO", 10).Required(),
    StringField("CDFILAUXPRAT", 4).Required().Hidden(),
    StringField("NMPRATO", 40).Label("Nome"),
};
constexpr std::array<std::string_view, 3> kqryValidaPratoParams{"P_CDPRATO", "P_CDFILAUXPRAT", "P_NIVEL"};
// SQL, SQL_ORACLE, SQL_MSSQL
constexpr std::string_view kqryValidaPrato_SQL = R"sql(SELECT CDPRATO, NMPRATO, CDFILAUXPRAT
FROM PRATO
WHERE (CDPRATO      = :P_CDPRATO) AND
      (CDFILAUXPRAT = :P_CDFILAUXPRAT OR CDFILAUXPRAT = 'P') AND
      (CDNVPRATO    = :P_NIVEL))sql";


constexpr QueryDef kQueries[] = {
    Query("qryFilial", kqryFilialFields)
        .Sql(kqryFilial_SQL)
        .SqlOracle(kqryFilial_SQL)
        .SqlMssql(kqryFilial_SQL)
        .Params(kqryFilialParams)
        .DataSource("dtsFilial"),
    Query("qryServico", kqryServicoFields)
        .Sql(kqryServico_SQL)
        .SqlOracle(kqryServico_SQL)
        .SqlMssql(kqryServico_SQL)
        .SqlIb(kqryServico_SQL)
        .Params(kqryServicoParams)
        .DataSource("dtsServico"),
    Query("qryFiliOffLine", kqryFiliOffLineFields)
        .SqlOracle(kqryFiliOffLine_SQL_ORACLE)
        .SqlMssql(kqryFiliOffLine_SQL_MSSQL)
        .SqlIb(kqryFiliOffLine_SQL_IB)
        .Params(kqryFiliOffLineParams),
    Query("qryRetOffLine", kqryRetOffLineFields).Sql(kqryRetOffLine_SQL).Params(kqryRetOffLineParams),
    Query("qryProduto", kqryProdutoFields)
        .Sql(kqryProduto_SQL)
        .Params(kqryProdutoParams)
        .BeforeOpen("qryProdutoBeforeOpen"),
    Query("qryProdutoCache", kqryProdutoCacheFields).Sql(kqryProdutoCache_SQL).Params(kqryProdutoCacheParams),
    Query("qryProdutoSemCache", kqryProdutoSemCacheFields)
        .Sql(kqryProdutoSemCache_SQL)
        .Params(kqryProdutoSemCacheParams),
    Query("qryParamGeral", kqryParamGeralFields).Sql(kqryParamGeral_SQL),
    Query("qryPesqProduto", kqryPesqProdutoFields).BeforeOpen("qryPesqProdutoBeforeOpen"),
    Query("qryValidProduto", kqryValidProdutoFields)
        .Sql(kqryValidProduto_SQL)
        .SqlOracle(kqryValidProduto_SQL_ORACLE)
        .SqlMssql(kqryValidProduto_SQL_ORACLE)
        .Params(kqryValidProdutoParams),
    Query("qryExisteProdTReti", kqryExisteProdTRetiFields)
        .Sql(kqryExisteProdTReti_SQL)
        .Params(kqryExisteProdTRetiParams),
    Query("qryValidProdReti", kqryValidProdRetiFields)
        .Sql(kqryValidProdReti_SQL)
        .SqlOracle(kqryValidProdReti_SQL)
        .SqlMssql(kqryValidProdReti_SQL_MSSQL)
        .Params(kqryValidProdRetiParams),
    Query("qryTipoPrat", kqryTipoPratFields)
        .Sql(kqryTipoPrat_SQL)
        .SqlOracle(kqryTipoPrat_SQL)
        .SqlMssql(kqryTipoPrat_SQL)
        .Params(kqryTipoPratParams)
        .DataSource("dtsTipoPrat"),
    Query("qryPrato", kqryPratoFields)
        .Sql(kqryPrato_SQL)
        .SqlOracle(kqryPrato_SQL)
        .SqlMssql(kqryPrato_SQL)
        .Params(kqryPratoParams)
        .DataSource("dtsPrato"),
    Query("qryValidaPrato", kqryValidaPratoFields)
        .Sql(kqryValidaPrato_SQL)
        .SqlOracle(kqryValidaPrato_SQL)
        .SqlMssql(kqryValidaPrato_SQL)
        .Params(kqryValidaPratoParams),
};

}  // namespace

std::span<const QueryDef> ScreenQueries() { return kQueries; }

const QueryDef* FindScreenQuery(std::string_view name) { return FindQuery(kQueries, name); }

}  // namespace model
