#pragma once
// The screen's local query texts, taken from its own model, so that these
// tests check the schema and the demo data against exactly what the screen
// and its dialogs run. The connection runs the generic text, or the Oracle
// text where the generic one is empty.
#include "Cli_pla02000/model/RetiradaQueries.h"
#include "Cli_pla02010/model/FiltroRetiradaModel.h"
#include "Cli_pla02015/model/FiltroRetiradaGeralModel.h"

#include <stdexcept>
#include <string>

namespace suite_queries {

struct QueryText {
    std::string name;
    std::string sql;
    std::string sqlOracle;
};

inline QueryText From(std::span<const model::QueryDef> queries, const char* name) {
    const model::QueryDef* q = model::FindQuery(queries, name);
    if (!q) throw std::logic_error(std::string("the model has no query ") + name);
    return {std::string(q->name), std::string(q->sql), std::string(q->sqlOracle)};
}

inline const QueryText qryFilial = From(model::ScreenQueries(), "qryFilial");
inline const QueryText qryServico = From(model::ScreenQueries(), "qryServico");
inline const QueryText qryFiliOffLine = From(model::ScreenQueries(), "qryFiliOffLine");
inline const QueryText qryRetOffLine = From(model::ScreenQueries(), "qryRetOffLine");
inline const QueryText qryProdutoCache = From(model::ScreenQueries(), "qryProdutoCache");
inline const QueryText qryProdutoSemCache = From(model::ScreenQueries(), "qryProdutoSemCache");
inline const QueryText qryValidProduto = From(model::ScreenQueries(), "qryValidProduto");
inline const QueryText qryValidProdReti = From(model::ScreenQueries(), "qryValidProdReti");
inline const QueryText qryServicoFiltro = From(model::FiltroRetiradaQueries(), "qryServico");
inline const QueryText qryServicoGeral = From(model::FiltroRetiradaGeralQueries(), "qryServico");

inline const std::string& TextFor(const QueryText& q) { return q.sql.empty() ? q.sqlOracle : q.sql; }

}  // namespace suite_queries
