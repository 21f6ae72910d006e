// The storeroom / location / lot lines of the items (grid dbgLocalizacao).
#include "Cli_pla02000/Retirada.h"

#include "services/Consiste.h"

void TfrmRetirada::GetLocalizacao() {
    if (pgcPadrao->ActivePage() != tshFormulario || !cdsItLanctoEst.Active() || cdsItLanctoEst.IsEmpty() ||
        !boUsaLocalizacao)
        return;
    Variant result = CallServer(netRetirada, "GetLocalizacao",
                                {Variant(Filial()), Variant(cdsItLanctoEst.FieldByName("NRRETIRADA").AsString())});
    cdsLocalizacao.SetData(Consiste::CheckResultServ(result, true, 0));
    std::string seq;
    for (char c : cdsItLanctoEst.FieldByName("NRSEQUITRETI").AsString()) seq += c == '\'' ? std::string("''") : std::string(1, c);
    cdsLocalizacao.SetFilter("NRSEQUITRETI = '" + seq + "'");
    cdsLocalizacao.SetFiltered(true);
}
