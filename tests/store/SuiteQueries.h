#pragma once
// Test copies of the screen's local query texts, as the screen's query
// components hold them (the screen keeps its own; these check that the
// schema and the demo data answer them). Each entry: the generic text and
// the Oracle text; the connection runs the generic one, or the Oracle one
// where the generic is empty.
namespace suite_queries {

struct QueryText {
    const char* name;
    const char* sql;
    const char* sqlOracle;
};

inline constexpr QueryText qryFilial = {"qryFilial", R"(SELECT CDFILIAL,  NMFILIAL,   IDCNTRRESC,
       CDEMPRESA, CDINSCMUNI, CDINSCESTA
FROM FILIAL
WHERE ((CDFILIAL = :P_CDFILIAL) OR (:P_TCDFILIAL = 'T'))
ORDER BY CDFILIAL)", ""};

inline constexpr QueryText qryServico = {"qryServico", R"(SELECT CDSERVFILI, NMSERVICO
  FROM SERVICO
WHERE (CDFILIAL   = :P_CDFILIAL)
  AND (IDSERVATIV <> 'N')
ORDER BY CDSERVFILI)", ""};

inline constexpr QueryText qryFiliOffLine = {"qryFiliOffLine", "", R"(SELECT NVL(A.IDUTILOFFLINE, 'N') AS IDUTILOFFLINE
  FROM FILIAL A
 WHERE (A.CDFILIAL = NVL(:P_CDFILIAL, CDFILIAL))
 ORDER BY 1)"};

inline constexpr QueryText qryRetOffLine = {"qryRetOffLine", R"(SELECT MAX(N.CDFILIAL) AS CDFILIAL
  FROM RETIRADA N
 WHERE N.CDFILIAL = :P_CDFILIAL)", ""};

inline constexpr QueryText qryProduto = {"qryProduto", R"(SELECT
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
   CDARVPROD)", ""};

inline constexpr QueryText qryProdutoCache = {"qryProdutoCache", R"(SELECT
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
   PR.CDARVPROD)", ""};

inline constexpr QueryText qryProdutoSemCache = {"qryProdutoSemCache", qryProduto.sql, ""};

inline constexpr QueryText qryParamGeral = {"qryParamGeral", R"(SELECT
   IDCACHPRODFI
FROM
   PARAMGERAL)", ""};

inline constexpr QueryText qryValidProduto = {"qryValidProduto", R"(SELECT
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
   CDARVPROD = :P_CDPRODUTO)", R"(SELECT CDARVPROD, CDPRODUTO, NMPRODUTO, CDNVPRODUTO, SGUNIDADE, CDPRODESTO, VRFATOCONV
FROM PRODUTO
WHERE (CDARVPROD = :P_CDPRODUTO))"};

inline constexpr QueryText qryExisteProdTReti = {"qryExisteProdTReti", R"(SELECT CDPRODRETI
  FROM PRODRETI
 WHERE CDTIPORETI = :P_CDTIPORETI)", ""};

inline constexpr QueryText qryValidProdReti = {"qryValidProdReti", R"(SELECT P.CDPRODUTO, P.CDARVPROD, P.NMPRODUTO
  FROM PRODUTO P, PRODUTO PR, PRODRETI N
 WHERE P.CDARVPROD  = :P_CDPRODUTO
   AND P.CDARVPROD  LIKE PR.CDARVPROD||'%'
   AND N.CDTIPORETI = :P_CDTIPORETI
   AND N.CDPRODRETI = PR.CDPRODUTO)", ""};

inline constexpr QueryText qryTipoPrat = {"qryTipoPrat", R"(SELECT CDTIPOPRAT, NMTIPOPRAT
FROM TIPOPRAT
WHERE (CDTIPOPRAT = :P_CDTIPOPRAT OR :P_TCDTIPOPRAT = 'T')
ORDER BY CDTIPOPRAT)", ""};

inline constexpr QueryText qryPrato = {"qryPrato", R"(SELECT CDPRATO, CDFILAUXPRAT, NMPRATO
FROM PRATO
WHERE(CDFILAUXPRAT = :P_CDFILIAL OR CDFILAUXPRAT = 'P') AND
     (CDNVPRATO    = :P_NIVEL)
ORDER BY CDPRATO)", ""};

inline constexpr QueryText qryValidaPrato = {"qryValidaPrato", R"(SELECT CDPRATO, NMPRATO, CDFILAUXPRAT
FROM PRATO
WHERE (CDPRATO      = :P_CDPRATO) AND
      (CDFILAUXPRAT = :P_CDFILAUXPRAT OR CDFILAUXPRAT = 'P') AND
      (CDNVPRATO    = :P_NIVEL))", ""};

// The browse filter dialog's two.
inline constexpr QueryText qryServicoFiltro = {"qryServico (filtro)", R"(SELECT CDSERVFILI, NMSERVICO
FROM SERVICO
WHERE (CDFILIAL   = :P_CDFILIAL)                               AND
      (IDSERVATIV <> 'N')
ORDER BY CDSERVFILI)", ""};

inline constexpr QueryText qryVDServico = {"qryVDServico", R"(SELECT CDSERVFILI, NMSERVICO, IDSERVATIV
FROM SERVICO
WHERE (CDFILIAL   = :P_CDFILIAL)                               AND
      (CDSERVFILI = :P_CDSERVFILI)
ORDER BY CDSERVFILI)", ""};

// The general-withdrawal filter's two.
inline constexpr QueryText qryGrupServ = {"qryGrupServ", R"(SELECT
   CDGRUPSERV,
   NMGRUPSERV
FROM
   GRUPSERV
ORDER BY
   CDGRUPSERV)", ""};

inline constexpr QueryText qryServicoGeral = {"qryServico (geral)", R"(SELECT
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
   CDSERVFILI)", ""};

// What the connection runs: the generic text, or the Oracle one where the generic is empty.
inline const char* TextFor(const QueryText& q) { return q.sql[0] ? q.sql : q.sqlOracle; }

}  // namespace suite_queries
