#include "services/Consiste.h"

#include "core/Exception.h"
#include "core/Text.h"
#include "data/DisplayFormat.h"
#include "db/LocalConnection.h"
#include "services/Morvena.h"
#include "ui/DBGrid.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace Consiste {

namespace {

BranchValidator& validator() {
    static BranchValidator v;
    return v;
}

}  // namespace

bool EmptyString(const std::string& s) { return text::Trim(s).empty(); }

std::string Ajusta(const std::string& code, int length) {
    std::string c = text::Trim(code);
    if (c.empty()) return c;
    int len = static_cast<int>(text::Length(c));
    if (len >= length) return c;
    return std::string(static_cast<size_t>(length - len), '0') + c;
}

std::string Replicate(const std::string& s, int n) {
    std::string r;
    for (int i = 0; i < n; ++i) r += s;
    return r;
}

Variant iif(bool cond, const Variant& a, const Variant& b) { return cond ? a : b; }

double RoundDec(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    // A whole number comes back as itself while it and its scaled value stay
    // exact (below 1e15, where the texts below are exact too); most quantities are whole.
    if (decimals >= 0 && decimals <= 6 && value == std::trunc(value) && std::fabs(value) < 1e9)
        return value == 0 ? 0.0 : value;
    // Round the shortest decimal text of the value, so that 1.005 (stored as
    // 1.00499999...) rounds as the 1.005 the user typed.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    double shortest = std::strtod(buf, nullptr);
    double scale = std::pow(10.0, decimals);
    double scaled = shortest * scale;
    std::snprintf(buf, sizeof buf, "%.15g", scaled);
    scaled = std::strtod(buf, nullptr);
    double r = std::round(scaled) / scale;
    return r == 0 ? 0.0 : r;  // no "-0"
}

std::string NomeSemana(TDateTime d) { return WeekdayName(d); }

TDateTime PriDiaMes(TDateTime d) { return FirstDayOfMonth(d).DateOnly(); }

std::string ValidaFilial(const std::string& branch, const std::string& operador, bool flag) {
    if (validator()) return validator()(branch, operador, flag);
    const std::string b = text::Trim(branch);
    const std::string op = text::Upper(text::Trim(operador));
    const Exception unknown("Filial não cadastrada.");
    const Exception forbidden("Operador " + (op.empty() ? std::string("-") : op) + " sem acesso à filial " + b + ".");
    if (b.empty()) throw unknown;
    if (auto db = db::LocalConnection()) {
        auto f = db->Query("SELECT NMFILIAL FROM FILIAL WHERE CDFILIAL = :F", {{"F", b}});
        if (f.Empty()) throw unknown;
        auto o = db->Query("SELECT CDFILIAL, IDATIVO FROM OPERADOR WHERE CDOPERADOR = :O", {{"O", op}});
        if (o.Empty() || o.rows[0][1].AsString() != "S") throw forbidden;
        const std::string bound = o.rows[0][0].IsNull() ? std::string() : text::Trim(o.rows[0][0].AsString());
        if (!bound.empty() && bound != b) throw forbidden;
        return f.rows[0][0].AsString();
    }
    const auto& ctx = Morvena::Context();
    for (auto& [code, name] : ctx.Filiais) {
        if (text::Trim(code) != b) continue;
        if (ctx.ModuFili && text::Trim(ctx.FiliProc) != b) throw forbidden;
        return name;
    }
    throw unknown;
}

void SetBranchValidator(BranchValidator v) { validator() = std::move(v); }

Variant CheckResultServ(const Variant& result, bool show, int) {
    if (result.IsString() && !result.AsString().empty()) {
        if (show) MensErro(result.AsString(), true);
        throw Exception(result.AsString());
    }
    return result;
}

void MensErro(const std::string& text, bool abort) {
    Dialogs().ErrorBox(text);
    if (abort) Abort();
}

int IndiceCol(const TDBGrid* grid, const std::string& fieldName) {
    return grid ? grid->ColumnIndexOf(fieldName) : -1;
}

std::string GridText(const TDBGrid* grid, const std::string& fieldName) {
    int col = IndiceCol(grid, fieldName);
    if (col < 0) return "";
    if (col == grid->SelectedIndex() && grid->EditorMode()) return grid->InplaceEditorText();
    TField* f = grid->Columns()[col].Field();
    return f ? f->EditText() : "";
}

TWinControl* SelectNextControl(TWinControl* scope, bool backward, bool checkTabStop, bool leaveScope) {
    if (!scope) return nullptr;
    TForm* form = dynamic_cast<TForm*>(scope);
    if (!form) form = scope->ParentForm();
    if (!form) return nullptr;
    TWinControl* focused = form->ActiveControl();
    if (focused && !scope->ContainsControl(focused)) focused = nullptr;
    const TWinControl* walked = leaveScope ? static_cast<TWinControl*>(form) : scope;
    const auto list = walked->TabOrderList();
    const int n = static_cast<int>(list.size());
    if (n == 0) return nullptr;
    int i = -1;
    for (int k = 0; k < n && focused; ++k)
        if (list[static_cast<size_t>(k)] == focused) i = k;
    if (i < 0) i = backward ? 0 : n - 1;  // start before the first (after the last)
    const TWinControl* group = focused ? focused->Parent() : nullptr;
    for (int step = 0; step < n; ++step) {
        i = backward ? (i - 1 + n) % n : (i + 1) % n;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c == focused) break;
        if (c->Parent() == group || (checkTabStop && !c->TabStop()) || !c->CanFocus()) continue;
        c->SetFocus();
        return c;
    }
    return nullptr;
}

TWinControl* SelectFirstControl(TWinControl* container) {
    if (!container) return nullptr;
    TWinControl* first = container->FirstTabStop();
    if (first) first->SetFocus();
    return first;
}

void SetChildEnabled(TWinControl* container, bool enabled) {
    if (!container) return;
    for (auto* c : container->ControlList()) c->SetEnabled(enabled);
}

void RefreshGrid(TDBGrid* grid) {
    if (!grid) return;
    grid->UpdateData();
    grid->Invalidate();
}

std::string FormatFloat(const std::string& mask, double value) { return ::FormatFloat(mask, value); }

}  // namespace Consiste
