#include "Pla08000/model/Pla08000Model.h"

#include <array>

namespace model {
namespace {

constexpr std::array kqryServRetGeralFields{
    StringField("CDSERVFILI", 5).Label("Serviço").Width(8),
    StringField("NMSERVICO", 40).Label("Nome").Width(30),
};
constexpr std::array<std::string_view, 2> kqryServRetGeralParams{"P_CDFILIAL", "P_NRRETGERAL"};
// The services of the run, as VdRetGeral recorded them.
constexpr std::string_view kqryServRetGeral_SQL = R"sql(SELECT
   S.CDSERVFILI,
   S.NMSERVICO
FROM
   RETGERAL R,
   SERVICO S
WHERE
   (R.CDFILIAL   = :P_CDFILIAL)   AND
   (R.NRRETGERAL = :P_NRRETGERAL) AND
   (S.CDFILIAL   = R.CDFILIAL)    AND
   (INSTR(R.DSLISTASERV, S.CDSERVFILI) <> 0)
ORDER BY
   S.CDSERVFILI)sql";

constexpr std::array kqryRequisicaoFields{
    StringField("CDSERVFILI", 5).Label("Serviço").Width(8),
    StringField("CDARVPROD", 20).Label("Código").Width(10),
    StringField("NMPRODUTO", 60).Label("Produto").Width(30),
    StringField("SGUNIDADE", 4).Label("Un.").Width(4),
    FloatField("QTPREVISRETI").Label("Quantidade").Width(12).DisplayFormat("#,##0.00000"),
};
constexpr std::array<std::string_view, 3> kqryRequisicaoParams{"P_CDFILIAL", "P_NRRETGERAL", "P_DTPREVRETI"};
// The planned requisition of each service of the run for the day, by product.
constexpr std::string_view kqryRequisicao_SQL = R"sql(SELECT
   I.CDSERVFILI,
   P.CDARVPROD,
   P.NMPRODUTO,
   P.SGUNIDADE,
   SUM(I.QTPREVISRETI) AS QTPREVISRETI
FROM
   RETGERAL R,
   ITPREVRETI I,
   PRODUTO P
WHERE
   (R.CDFILIAL   = :P_CDFILIAL)   AND
   (R.NRRETGERAL = :P_NRRETGERAL) AND
   (I.CDFILIAL   = R.CDFILIAL)    AND
   (I.DTPREVRETI = :P_DTPREVRETI) AND
   (I.NRREQUEXTR = '0000000000')  AND
   (INSTR(R.DSLISTASERV, I.CDSERVFILI) <> 0) AND
   (P.CDPRODUTO  = I.CDPRODUTO)
GROUP BY
   I.CDSERVFILI, P.CDARVPROD, P.NMPRODUTO, P.SGUNIDADE
ORDER BY
   I.CDSERVFILI, P.CDARVPROD)sql";

constexpr QueryDef kQueries[] = {
    Query("qryServRetGeral", kqryServRetGeralFields)
        .Sql(kqryServRetGeral_SQL)
        .SqlMssql(kqryServRetGeral_SQL)
        .SqlIb(kqryServRetGeral_SQL)
        .Params(kqryServRetGeralParams),
    Query("qryRequisicao", kqryRequisicaoFields)
        .Sql(kqryRequisicao_SQL)
        .SqlMssql(kqryRequisicao_SQL)
        .SqlIb(kqryRequisicao_SQL)
        .Params(kqryRequisicaoParams),
};

}  // namespace

std::span<const QueryDef> Pla08000Queries() { return kQueries; }

}  // namespace model
