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
// An empty packet with the fields.
DataPacket EmptyPacket(const std::vector<PacketField>& fields);

// Argument as text: null is "", numbers and dates by AsString.
std::string ArgText(const Variant& v);
// Argument as a whole day; null gives false.
bool ArgDay(const Variant& v, TDateTime& day);

// Signature helpers.
inline ArgSpec Str(const char* name, bool byRef = false) { return {name, ArgType::String, byRef, true}; }
inline ArgSpec Num(const char* name, bool byRef = false) { return {name, ArgType::Number, byRef, true}; }
inline ArgSpec Day(const char* name, bool byRef = false) { return {name, ArgType::Date, byRef, true}; }
inline ArgSpec AnyArg(const char* name, bool byRef = false) { return {name, ArgType::Any, byRef, true}; }

// A refusal the caller expects as a text (see Dispatcher): rolls back, returns the text.
[[noreturn]] void Fail(const std::string& text);

// The branch must exist; Fail("Filial X não cadastrada.") otherwise.
void RequireBranch(db::SqlConnection& conn, const std::string& branch);

// The branch's processing date (DATAPROC), whole day; Fail when it has none.
TDateTime ProcessingDate(db::SqlConnection& conn, const std::string& branch);

}  // namespace appserver
