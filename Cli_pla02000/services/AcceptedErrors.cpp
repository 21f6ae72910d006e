#include "Cli_pla02000/services/AcceptedErrors.h"

#include "Cli_pla02000/Retirada.h"
#include "core/Text.h"

bool ErroAceito(const std::string& ignoreList, const std::string& key) {
    return ignoreList.find("#" + key + "#") != std::string::npos;
}

bool ErroNaoAceito(TDataSet& retorno, const std::string& ignoreList, int limit, const std::string& permEstNeg) {
    if (!retorno.Active() || !retorno.FindField("CDERRO")) return false;
    // The number rows (NRLANCESTQ, NRRETIRADA, NRCARDAPIO) come back on success
    // and failure alike: only error rows count against the limit.
    TField& chave = retorno.FieldByName("CDERRO");
    int erros = 0;
    for (int row = 0, n = retorno.RowCount(); row < n; ++row) {
        const std::string k = text::Upper(text::Trim(retorno.ValueAt(row, chave).AsString()));
        if (k != "NRLANCESTQ" && k != "NRRETIRADA" && k != "NRCARDAPIO") ++erros;
    }
    if (erros <= limit) return false;
    auto presente = [&](const char* key) { return retorno.Locate("CDERRO", Variant(key), loCaseInsensitive); };
    auto recusado = [&](const char* key) { return presente(key) && !ErroAceito(ignoreList, key); };
    return (recusado("LIB00200_3") && permEstNeg != "S") || recusado("LIB00200_4") || recusado("PLA02000_1") ||
           recusado("PLA02000_2");
}

bool TfrmRetirada::RetornouErro(const std::string& ignoreList, int limit) {
    return cdsRetorno && ErroNaoAceito(*cdsRetorno, ignoreList, limit, ParamEstoque("IDPERMESTNEG"));
}
