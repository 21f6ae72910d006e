#pragma once
// Helpers the remote modules share: packets from query results, argument
// reading, and the failure texts methods return.
#include "core/Exception.h"
#include "core/Packet.h"
#include "db/SqlConnection.h"
#include "rpc/Dispatcher.h"

#include <string>
#include <vector>

namespace appserver {

// One row per result row, one value per field: the column of the same name
// (without regard to case) converted to the field's type; fields without a
// column are null. Texts are trimmed on the right (fixed-width codes).
DataPacket BuildPacket(const std::vector<PacketField>& fields, const db::SqlResult& result);
// The same from a result no longer needed: when its columns are the fields in
// order, its rows become the packet's rows, converted in place.
DataPacket BuildPacket(const std::vector<PacketField>& fields, db::SqlResult&& result);
// An empty packet with the fields.
DataPacket EmptyPacket(const std::vector<PacketField>& fields);

// Argument as text: null is "", numbers and dates by AsString.
std::string ArgText(const Variant& v);
// Argument as a whole day; null gives false.
bool ArgDay(const Variant& v, TDateTime& day);

// A quantity argument: null is 0; Fail when it lies beyond what any stock
// holds (kMaxQuantity either way), so arithmetic on it stays finite.
inline constexpr double kMaxQuantity = 999'999'999.0;
double ArgQuantity(const Variant& v);

// Signature helpers.
inline ArgSpec Str(const char* name, bool byRef = false) { return {name, ArgType::String, byRef, true}; }
inline ArgSpec Num(const char* name, bool byRef = false) { return {name, ArgType::Number, byRef, true}; }
inline ArgSpec Day(const char* name, bool byRef = false) { return {name, ArgType::Date, byRef, true}; }
inline ArgSpec AnyArg(const char* name, bool byRef = false) { return {name, ArgType::Any, byRef, true}; }
// A branch code the session's operator must have access to (checked before the method runs).
inline ArgSpec Branch(const char* name, bool byRef = false) { return {name, ArgType::String, byRef, true, true}; }

// A refusal the caller expects as a text (see Dispatcher): rolls back, returns the text.
[[noreturn]] void Fail(const std::string& text);

// The branch must exist; Fail("Filial X não cadastrada.") otherwise.
void RequireBranch(db::SqlConnection& conn, const std::string& branch);

// The session's operator may use the branch: he is bound to no branch
// (OPERADOR.CDFILIAL null or blank) or to this one. Throws
// ERpcError(BranchForbidden) otherwise, also for a caller without operator.
void RequireBranchAccess(db::SqlConnection& conn, const CallContext& ctx, const std::string& branch);
// Installs RequireBranchAccess as the dispatcher's check of branch arguments.
void GuardBranches(Dispatcher& d);

// The operator is active and holds the right (OPERDIREITO.CDDIREITO, e.g. "LIBERACAO_DATA").
bool HoldsRight(db::SqlConnection& conn, const std::string& op, const std::string& right);
// A writing method's own check of a right: Fail(refusal) when the session's
// operator does not hold it (rights may change after the client asked).
void RequireRight(db::SqlConnection& conn, const CallContext& ctx, const std::string& right, const std::string& refusal);

// The branch's processing date (DATAPROC), whole day; Fail when it has none.
TDateTime ProcessingDate(db::SqlConnection& conn, const std::string& branch);

}  // namespace appserver
