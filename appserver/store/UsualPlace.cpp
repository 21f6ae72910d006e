#include "store/UsualPlace.h"

#include "core/Text.h"

namespace store {

StockPlace UsualPlace(db::SqlConnection& c, const std::string& branch, const std::string& stockProduct) {
    // The places' whole balances, kept by the ledger: a handful of rows, not the product's movements.
    auto r = c.Query(
        "SELECT CDALMOXARIFE, CDLOCALESTOQ, SUM(QTSALDO) AS QT FROM SALDOLOCAL"
        " WHERE CDFILIAL = :F AND CDPRODESTO = :P AND CDALMOXARIFE <> ' '"
        " GROUP BY CDALMOXARIFE, CDLOCALESTOQ ORDER BY 3 DESC, 1, 2",
        {{"F", branch}, {"P", stockProduct}});
    if (r.Empty())
        r = c.Query("SELECT A.CDALMOXARIFE, MIN(L.CDLOCALESTOQ) FROM ALMOXARIFE A"
                    " LEFT JOIN LOCALESTOQ L ON L.CDFILIAL = A.CDFILIAL AND L.CDALMOXARIFE = A.CDALMOXARIFE"
                    " WHERE A.CDFILIAL = :F GROUP BY A.CDALMOXARIFE ORDER BY A.CDALMOXARIFE",
                    {{"F", branch}});
    if (r.Empty()) return {};
    return {text::Trim(r.rows[0][0].AsString()), text::Trim(r.rows[0][1].AsString()), "", ""};
}

}  // namespace store
