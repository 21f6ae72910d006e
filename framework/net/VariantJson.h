#pragma once
// The wire encoding of variants and data packets (JSON):
//   null, booleans, numbers and strings are JSON values; arrays are variant arrays;
//   {"$date": "YYYY-MM-DDTHH:MM:SS"} is a date-time; {"$packet": P} is a data packet.
// A packet is {"fields": [{"name", "type", "size"}...], "rows": [[v, ...]...]}.
// In a delta packet (any row with a change kind) every row is an object
// {"change": "inserted"|"modified"|"deleted"|"unmodified", "values": [...]}
// and modified and deleted rows add "original": [...].
// Both directions live here so that client and server cannot drift apart;
// the JSON trees themselves stay inside framework/net (JsonTree.h).
#include "core/Exception.h"
#include "core/Packet.h"
#include "core/Variant.h"

#include <string>
#include <string_view>

namespace net {

// Input that is not a valid encoding (malformed JSON, unknown tags, rows that
// do not fit their fields, nesting too deep). The message names the problem.
class ECodecError : public Exception {
public:
    using Exception::Exception;
};

// Deepest nesting of arrays accepted by the decoder; keeps hostile input from
// exhausting the stack.
inline constexpr int kMaxNesting = 64;

// Text forms. Invalid UTF-8 in strings is replaced on output, never thrown.
// EncodeVariant throws ECodecError for values JSON cannot carry (NaN,
// infinities, rows that do not fit their fields).
std::string EncodeVariant(const Variant& v);
// Throws ECodecError naming what is wrong (numbers out of range included).
Variant DecodeVariant(std::string_view text);

}  // namespace net
