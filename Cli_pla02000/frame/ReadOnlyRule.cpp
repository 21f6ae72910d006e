// The posting-date window: whether a withdrawal's date still lies in the
// period in which the branch's stock parameters let it be changed.
#include "Cli_pla02000/Retirada.h"

#include "services/Morvena.h"

#include <cmath>

namespace {
// Day counts are kept as floats and read as whole days.
int dias(const TClientDataSet& params, const char* field) {
    if (!params.Active() || params.IsEmpty()) return 0;
    return static_cast<int>(std::trunc(params.FieldByName(field).AsFloat()));
}
}  // namespace

bool TfrmRetirada::ForaDaJanela(TDateTime date) {
    const TDateTime p = Morvena::DataProc(Filial()).DateOnly();
    const TDateTime d = date.DateOnly();
    if (d < p) {
        if (ParamEstoque("IDLANCDTMENFIL") == "N") {
            if (ParamEstoque("IDLANCDTMEN") == "N") return true;
            return d < IncDay(p, -dias(cdsParamEstoque, "NRDIASSAID"));
        }
        return d < IncDay(p, -dias(cdsParamEstoque, "NRDIASSAIDFIL"));
    }
    if (ParamEstoque("IDLANCDTMAIFIL") == "S") return d > IncDay(p, dias(cdsParamEstoque, "NRDIASSAIDPDFIL"));
    if (ParamEstoque("IDLANCDTMAI") == "S") return d > IncDay(p, dias(cdsParamEstoque, "NRDIASSAIDPD"));
    return d > p;
}

void TfrmRetirada::CalculaReadOnly() {
    RetiradaUnit& u = Pla02000Unit();
    // A list that is closed or whose row is being edited is never read-only.
    if (cdsRomaRetirada.State() != TDataSetState::dsBrowse || cdsRomaRetirada.IsEmpty()) {
        u.boGridReadOnly = false;
        ControlaEdicaoItens();
        return;
    }
    u.boGridReadOnly = ForaDaJanela(cdsRomaRetirada.FieldByName("DTLANCESTQ").AsDateTime());
    ControlaEdicaoItens();
}
