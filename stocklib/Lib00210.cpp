#include "stocklib/Lib00210.h"

#include "core/Text.h"
#include "db/LocalConnection.h"
#include "stocklib/Refusal.h"

namespace Lib00210 {

void Validacao_Produto(db::SqlConnection& conn, const std::string& branch, const std::string& productTreeCode,
                       const std::string& blockParam) {
    const std::string code = text::Trim(productTreeCode);
    auto r = conn.Query(
        "SELECT P.CDPRODUTO, P.NMPRODUTO, P.IDCNTRESTOQ, F.IDPRODATIV"
        "  FROM PRODUTO P LEFT JOIN PRODFILI F ON F.CDFILIAL = :F AND F.CDPRODUTO = P.CDPRODUTO"
        " WHERE P.CDARVPROD = :A",
        {{"F", branch}, {"A", code}});
    // An unknown code is the caller's to name: the screens check the product table themselves.
    if (r.Empty()) return;
    const auto& row = r.rows[0];
    const std::string name = text::TrimRight(row[1].AsString());
    if (row[3].AsString() == "I") stocklib::Refuse("Produto " + code + " - " + name + " inativo na filial " + branch + ".");
    if (text::Trim(blockParam) == "S" && row[2].AsString() != "S")
        stocklib::Refuse("Produto " + code + " - " + name + " sem controle de estoque: bloqueado para a filial " +
                         branch + ".");
}

void Validacao_Produto(const std::string& branch, const std::string& productTreeCode, const std::string& blockParam) {
    Validacao_Produto(*db::RequireLocalConnection(), branch, productTreeCode, blockParam);
}

}  // namespace Lib00210
