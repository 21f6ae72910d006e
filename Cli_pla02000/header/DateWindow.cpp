#include "Cli_pla02000/header/DateWindow.h"

#include <cmath>
#include <cstdlib>

namespace retirada {

namespace {

int dias(const LeParametro& param, const char* field) {
    const std::string t = param(field);
    if (t.empty()) return 0;
    // Day counts are stored as floats; a decimal comma may come back from the display text.
    std::string s = t;
    for (char& c : s)
        if (c == ',') c = '.';
    return static_cast<int>(std::trunc(std::strtod(s.c_str(), nullptr)));
}

std::string dentro(bool ok) { return ok ? "" : "Data_M"; }

}  // namespace

std::string RecusaJanelaRetirada(TDateTime d, TDateTime p, const LeParametro& param) {
    d = d.DateOnly();
    p = p.DateOnly();
    if (d > p) {
        const std::string filial = param("IDLANCDTMAIFIL"), geral = param("IDLANCDTMAI");
        if (filial == "S") return dentro(d <= IncDay(p, dias(param, "NRDIASSAIDPDFIL")));
        if (geral == "S") return dentro(d <= IncDay(p, dias(param, "NRDIASSAIDPD")));
        return filial == "N" ? "Data_Mai" : "";
    }
    if (d < p) {
        const std::string filial = param("IDLANCDTMENFIL"), geral = param("IDLANCDTMEN");
        if (filial == "S") return dentro(d >= IncDay(p, -dias(param, "NRDIASSAIDFIL")));
        if (geral != "N") return dentro(d >= IncDay(p, -dias(param, "NRDIASSAID")));
        return filial == "N" ? "Data_Men" : "";
    }
    return "";
}

}  // namespace retirada
