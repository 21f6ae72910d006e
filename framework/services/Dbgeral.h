#pragma once
// Dbgeral: settings of the shared local database connection.
namespace Dbgeral {
// True when connections stay open for a form's life (Morvena::Context().KeepConnected).
bool KeepConnected();
}  // namespace Dbgeral
