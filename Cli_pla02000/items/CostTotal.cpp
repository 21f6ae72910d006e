// The cost total of the shown withdrawal, below the item grid and the summary.
#include "Cli_pla02000/Retirada.h"

#include "services/Consiste.h"

void TfrmRetirada::CalculaCustoTotal() {
    long double total = 0;
    if (!cdsItLanctoEst.Active()) {
        // Browse page: the items of the list row come from the server.
        if (!cdsRomaRetirada.Active() || cdsRomaRetirada.IsEmpty()) {
            // No row, no withdrawal: nothing to ask the server.
            ledTotCusto->SetCaption(Consiste::FormatFloat("#,##0.00000", 0));
            ledTotCustoResumo->SetCaption(ledTotCusto->Caption());
            return;
        }
        Variant result = CallServer(netRetirada, "GetItLanctoEst",
                                    {Variant(cdsRomaRetirada.FieldByName("CDFILIMOVI").AsString()),
                                     Variant(cdsRomaRetirada.FieldByName("NRRETIRADA").AsString())});
        cdsItLanctoSumAux.SetData(Consiste::CheckResultServ(result, true, 0));
    } else {
        // All items, whatever dish the grid is narrowed to. Asking the items
        // for their sum makes them keep it up to date on every post and hand
        // it to the copy, so no total walks the rows again.
        cdsItLanctoEst.FieldSum(cdsItLanctoEst.FieldByName("VRTOTLANCTO"));
        cdsItLanctoSumAux.SetData(cdsItLanctoEst.Data());
    }
    cdsItLanctoSumAux.SetFiltered(false);
    // The items' running sum comes along with their rows: no walk per post.
    total = cdsItLanctoSumAux.FieldSum(cdsItLanctoSumAux.FieldByName("VRTOTLANCTO"));
    const std::string texto = Consiste::FormatFloat("#,##0.00000", static_cast<double>(total));
    ledTotCusto->SetCaption(texto);
    ledTotCustoResumo->SetCaption(texto);
}
