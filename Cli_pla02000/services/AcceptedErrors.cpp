#include "Cli_pla02000/services/AcceptedErrors.h"

#include "Cli_pla02000/Retirada.h"

bool ErroAceito(const std::string& ignoreList, const std::string& key) {
    return ignoreList.find("#" + key + "#") != std::string::npos;
}

bool ErroNaoAceito(TDataSet& retorno, const std::string& ignoreList, int limit, const std::string& permEstNeg) {
    if (!retorno.Active() || retorno.RecordCount() <= limit) return false;
    auto presente = [&](const char* key) { return retorno.Locate("CDERRO", Variant(key), loCaseInsensitive); };
    auto recusado = [&](const char* key) { return presente(key) && !ErroAceito(ignoreList, key); };
    return (recusado("LIB00200_3") && permEstNeg != "S") || recusado("LIB00200_4") || recusado("PLA02000_1") ||
           recusado("PLA02000_2");
}

bool TfrmRetirada::RetornouErro(const std::string& ignoreList, int limit) {
    return cdsRetorno && ErroNaoAceito(*cdsRetorno, ignoreList, limit, ParamEstoque("IDPERMESTNEG"));
}
