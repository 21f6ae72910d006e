#pragma once
// Consiste: validation and formatting helpers the screens share.
#include "core/DateTime.h"
#include "core/Variant.h"

#include <functional>
#include <string>

class TDBGrid;
class TWinControl;

namespace Consiste {

// True when the text holds nothing but blanks.
bool EmptyString(const std::string& s);
// A code fitted to a length: trimmed and padded on the left with "0"
// ("1" -> "0001" for a branch). An empty code stays empty (so that "must be
// informed" checks still see it); a longer code is left whole, never cut.
std::string Ajusta(const std::string& code, int length);
// `s` repeated n times ("" for n <= 0).
std::string Replicate(const std::string& s, int n);
// a when cond, else b.
Variant iif(bool cond, const Variant& a, const Variant& b);
// Rounded half away from zero to `decimals` places, robust against binary
// representation (2.1234567 -> 2.12346, 1.005 -> 1.01 at 2 places).
double RoundDec(double value, int decimals);
// "Domingo" ... "Sábado".
std::string NomeSemana(TDateTime d);
// First day of the date's month (time dropped).
TDateTime PriDiaMes(TDateTime d);

// The branch's name; raises Exception for a branch that cannot be used. The
// default validation reads Morvena::Context().Filiais ("Filial não
// cadastrada." for an unknown or blank branch); a host with a database
// installs its own with SetBranchValidator. The flag is passed on as given.
std::string ValidaFilial(const std::string& branch, const std::string& operador, bool flag);
using BranchValidator = std::function<std::string(const std::string& branch, const std::string& operador, bool flag)>;
void SetBranchValidator(BranchValidator v);  // empty restores the default

// A server result: a non-empty text is a failure, shown with MensErro and
// ending the operation (show = true) or raised as Exception (show = false);
// anything else is returned for use.
Variant CheckResultServ(const Variant& result, bool show = true, int helpContext = 0);
// Error box with the text; with abort true the running operation then ends
// with a silent EAbort.
void MensErro(const std::string& text, bool abort);

// Index of the column showing the field (without regard to case); -1 when none.
int IndiceCol(const TDBGrid* grid, const std::string& fieldName);
// Text of the field's column in the current row: the cell editor's text when
// it is open on that column, else the field's edit text; "" without such a column.
std::string GridText(const TDBGrid* grid, const std::string& fieldName);

// Focuses the control after (or before) `current` in its form's tab order and
// returns it (null when there is none). checkParent keeps to current's siblings.
TWinControl* SelectNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
// Focuses the first tab stop inside the container and returns it (null when none).
TWinControl* SelectFirstControl(TWinControl* container);
// Enables or disables every control directly inside the container.
void SetChildEnabled(TWinControl* container, bool enabled);
// Commits the grid's pending cell edit to its field and repaints it.
void RefreshGrid(TDBGrid* grid);

// Number by mask ("#,##0.00000") with the system separators.
std::string FormatFloat(const std::string& mask, double value);

}  // namespace Consiste
