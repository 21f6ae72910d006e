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

// The branch's name; raises Exception for a branch that cannot be used by the
// operator. With the shared local connection (db::LocalConnection) the
// branch and the operator are read from the database: "Filial não
// cadastrada." for a blank or unknown branch; "Operador OP sem acesso à filial
// B." for an unknown or inactive operator, or one bound to another branch
// (OPERADOR.CDFILIAL; bound to none, he may use every branch), as the server
// refuses him. Without that connection, Morvena::Context() stands in (Filiais,
// and the signed-on branch for a user bound to it). Both callers (leaving the
// field, flag false; leaving the panel, flag true) get the same check; an
// installed validator (SetBranchValidator) gets the flag as given.
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

// Moves the focus on to the next group of fields inside `scope` (a page
// control, a panel, a form): from the focused control of scope's form to the
// first control met in tab order whose parent is not the focused control's
// own (the next group; with `backward`, the walk goes the other way and meets
// the previous group's last control). checkTabStop skips controls without a
// tab stop. With leaveScope false the walk stays inside scope, wrapping at its
// end, and never reaches the controls around it; with leaveScope true it walks
// the whole form. When the focus lies outside scope the walk starts at scope's
// first control. Returns the control focused, or null when no other group can
// take the focus (the focus stays where it was). The exit and enter handlers
// of the focus move may throw.
TWinControl* SelectNextControl(TWinControl* scope, bool backward, bool checkTabStop, bool leaveScope);
// Focuses the first tab stop inside the container and returns it (null when none).
TWinControl* SelectFirstControl(TWinControl* container);
// Enables or disables every control directly inside the container.
void SetChildEnabled(TWinControl* container, bool enabled);
// Commits the grid's pending cell edit to its field and repaints it.
void RefreshGrid(TDBGrid* grid);

// Number by mask ("#,##0.00000") with the system separators.
std::string FormatFloat(const std::string& mask, double value);

}  // namespace Consiste
