#pragma once
// The JSON tree forms of the wire encoding (see VariantJson.h). Private to
// framework/net's implementation files: nothing outside them sees nlohmann/json
// (a check under ctest keeps it so).
#include "net/VariantJson.h"

#include <nlohmann/json.hpp>

namespace net {

// Throws ECodecError for values JSON cannot carry (NaN, infinities).
nlohmann::json VariantToJson(const Variant& v);
// Throws ECodecError naming what is wrong.
Variant VariantFromJson(const nlohmann::json& j);

nlohmann::json PacketToJson(const DataPacket& p);
// Checks that each row has one value per field and that each value suits its
// field's type; throws ECodecError otherwise.
DataPacket PacketFromJson(const nlohmann::json& j);

// Serializes JSON the way the wire wants it (compact, invalid UTF-8 replaced).
std::string DumpJson(const nlohmann::json& j);
// Parses JSON text; throws ECodecError with the parser's position on bad
// input, numbers out of range included.
nlohmann::json ParseJson(std::string_view text);

}  // namespace net
