#include "services/Tabvalid.h"

#include "core/Text.h"
#include "services/Consiste.h"
#include "services/Morvena.h"

namespace Tabvalid {

bool ValidEx(TDataSource* source, int pictureKind, const std::string& codeIn, TValidOptions options,
             const std::string& fieldName, bool showError) {
    TDBPicture pic = Morvena::DBPictObj(pictureKind);
    std::string code = text::Trim(codeIn);
    int level = pic.NivelDoCodigo(code);
    bool ok = !code.empty() && pic.CodigoValido(code) && level > 0;
    if (ok && (options & voUltimoNivel)) ok = level == pic.GetTtNiveis();
    if (ok && (options & voExiste) && source && source->DataSet() && !fieldName.empty()) {
        TDataSet& ds = *source->DataSet();
        ok = ds.Active() && !ds.Lookup(fieldName, Variant(code), fieldName).IsNull();
    }
    if (!ok && showError) Consiste::MensErro("Código " + code + " inválido.", true);
    return ok;
}

}  // namespace Tabvalid
