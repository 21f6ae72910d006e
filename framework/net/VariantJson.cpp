#include "net/JsonTree.h"
#include "net/JsonStream.h"

#include "core/DateTime.h"

#include <cmath>

using nlohmann::json;

namespace net {

namespace {

json encode(const Variant& v, int depth);

json encodeValues(const VariantArray& values, int depth) {
    json a = json::array();
    for (const auto& item : values) a.push_back(encode(item, depth + 1));
    return a;
}

json encode(const Variant& v, int depth) {
    if (depth > kMaxNesting) throw ECodecError("Value nested too deeply to encode");
    switch (v.Type()) {
        case VarType::Null: return nullptr;
        case VarType::Bool: return v.AsBoolean();
        case VarType::Integer: return v.AsInteger();
        case VarType::Double: {
            double d = v.AsFloat();
            if (!std::isfinite(d)) throw ECodecError("A number that is not finite cannot be sent");
            return d;
        }
        case VarType::String: return v.AsString();
        case VarType::DateTime: return json{{"$date", DateTimeToIso(v.AsDateTime())}};
        case VarType::Array: return encodeValues(v.AsArray(), depth);
        case VarType::Packet: return json{{"$packet", PacketToJson(v.AsPacket())}};
    }
    return nullptr;
}

std::string kindOf(const json& j) {
    switch (j.type()) {
        case json::value_t::null: return "null";
        case json::value_t::boolean: return "boolean";
        case json::value_t::number_integer:
        case json::value_t::number_unsigned: return "integer";
        case json::value_t::number_float: return "number";
        case json::value_t::string: return "string";
        case json::value_t::array: return "array";
        case json::value_t::object: return "object";
        default: return "unsupported value";
    }
}

TDateTime decodeDate(const json& tag) {
    if (!tag.is_string()) throw ECodecError("\"$date\" must hold a text, not " + kindOf(tag));
    TDateTime d;
    bool ok = false;
    try {
        ok = TryIsoToDateTime(tag.get<std::string>(), d);
    } catch (const std::exception&) {
        ok = false;  // out-of-range parts
    }
    if (!ok) throw ECodecError("Invalid date '" + tag.get<std::string>() + "' (expected YYYY-MM-DDTHH:MM:SS)");
    return d;
}

Variant decode(const json& j, int depth) {
    if (depth > kMaxNesting) throw ECodecError("Value nested more than " + std::to_string(kMaxNesting) + " levels deep");
    switch (j.type()) {
        case json::value_t::null: return Variant();
        case json::value_t::boolean: return Variant(j.get<bool>());
        case json::value_t::number_integer: return Variant(static_cast<long long>(j.get<int64_t>()));
        case json::value_t::number_unsigned: {
            uint64_t u = j.get<uint64_t>();
            if (u > static_cast<uint64_t>(INT64_MAX)) return Variant(static_cast<double>(u));
            return Variant(static_cast<long long>(u));
        }
        case json::value_t::number_float: {
            double d = j.get<double>();
            if (!std::isfinite(d)) throw ECodecError("Number out of range");
            return Variant(d);
        }
        case json::value_t::string: return Variant(j.get<std::string>());
        case json::value_t::array: {
            VariantArray items;
            items.reserve(j.size());
            for (const auto& e : j) items.push_back(decode(e, depth + 1));
            return Variant(std::move(items));
        }
        case json::value_t::object: {
            if (j.size() == 1 && j.contains("$date")) return Variant(decodeDate(j.at("$date")));
            if (j.size() == 1 && j.contains("$packet")) return Variant(PacketFromJson(j.at("$packet")));
            std::string keys;
            for (auto it = j.begin(); it != j.end(); ++it) keys += (keys.empty() ? "" : ", ") + it.key();
            throw ECodecError("Unknown object {" + keys + "}: expected {\"$date\": ...} or {\"$packet\": ...}");
        }
        default: throw ECodecError("Unsupported JSON value");
    }
}

// A row value must be null or of the kind its field holds.
Variant decodeCell(const json& j, const PacketField& f) {
    if (j.is_null()) return Variant();
    auto wrong = [&]() -> ECodecError {
        return ECodecError("Field " + f.name + " (" + FieldTypeName(f.type) + ") cannot hold a " + kindOf(j));
    };
    switch (f.type) {
        case TFieldType::ftString:
        case TFieldType::ftFixedChar:
            if (!j.is_string()) throw wrong();
            return Variant(j.get<std::string>());
        case TFieldType::ftFloat:
            if (!j.is_number()) throw wrong();
            return Variant(j.get<double>());
        case TFieldType::ftInteger:
            if (!j.is_number_integer()) throw wrong();
            return decode(j, 0);
        case TFieldType::ftBoolean:
            if (!j.is_boolean()) throw wrong();
            return Variant(j.get<bool>());
        case TFieldType::ftDateTime:
            if (!j.is_object() || j.size() != 1 || !j.contains("$date")) throw wrong();
            return Variant(decodeDate(j.at("$date")));
    }
    throw wrong();
}

VariantArray decodeRowValues(const json& values, const std::vector<PacketField>& fields, size_t rowNo,
                             const char* what) {
    if (!values.is_array())
        throw ECodecError("Row " + std::to_string(rowNo) + ": " + what + " must be an array");
    if (values.size() != fields.size())
        throw ECodecError("Row " + std::to_string(rowNo) + " has " + std::to_string(values.size()) +
                          " values for " + std::to_string(fields.size()) + " fields");
    VariantArray out;
    out.reserve(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) {
        try {
            out.push_back(decodeCell(values[i], fields[i]));
        } catch (const ECodecError& e) {
            throw ECodecError("Row " + std::to_string(rowNo) + ": " + e.Message());
        }
    }
    return out;
}

}  // namespace

json VariantToJson(const Variant& v) { return encode(v, 0); }

Variant VariantFromJson(const json& j) { return decode(j, 0); }

json PacketToJson(const DataPacket& p) {
    json fields = json::array();
    for (const auto& f : p.fields)
        fields.push_back({{"name", f.name}, {"type", FieldTypeName(f.type)}, {"size", f.size}});
    const bool delta = p.IsDelta();
    json rows = json::array();
    for (const auto& r : p.rows) {
        if (r.values.size() != p.fields.size())
            throw ECodecError("A packet row has " + std::to_string(r.values.size()) + " values for " +
                              std::to_string(p.fields.size()) + " fields");
        json values = encodeValues(r.values, 1);
        if (!delta) {
            rows.push_back(std::move(values));
            continue;
        }
        json row = {{"change", RowChangeName(r.change)}, {"values", std::move(values)}};
        if (r.change == RowChange::Modified || r.change == RowChange::Deleted) {
            if (r.original.size() != p.fields.size())
                throw ECodecError("A changed packet row lacks its original values");
            row["original"] = encodeValues(r.original, 1);
        }
        rows.push_back(std::move(row));
    }
    return json{{"fields", std::move(fields)}, {"rows", std::move(rows)}};
}

DataPacket PacketFromJson(const json& j) {
    if (!j.is_object() || !j.contains("fields") || !j.contains("rows"))
        throw ECodecError("A packet must be an object with \"fields\" and \"rows\"");
    const json& jf = j.at("fields");
    const json& jr = j.at("rows");
    if (!jf.is_array() || !jr.is_array()) throw ECodecError("Packet \"fields\" and \"rows\" must be arrays");
    DataPacket p;
    for (const auto& f : jf) {
        if (!f.is_object() || !f.contains("name") || !f.at("name").is_string() || !f.contains("type") ||
            !f.at("type").is_string())
            throw ECodecError("A packet field needs a text \"name\" and \"type\"");
        PacketField pf;
        pf.name = f.at("name").get<std::string>();
        if (pf.name.empty()) throw ECodecError("A packet field has an empty name");
        try {
            pf.type = FieldTypeFromName(f.at("type").get<std::string>());
        } catch (const EConvertError& e) {
            throw ECodecError(e.Message());
        }
        if (f.contains("size")) {
            const json& s = f.at("size");
            if (!s.is_number_integer() || s.get<int64_t>() < 0 || s.get<int64_t>() > 1'000'000)
                throw ECodecError("Field " + pf.name + " has an invalid size");
            pf.size = static_cast<int>(s.get<int64_t>());
        }
        if (p.FieldIndex(pf.name) >= 0) throw ECodecError("Field " + pf.name + " occurs twice in a packet");
        p.fields.push_back(std::move(pf));
    }
    size_t rowNo = 0;
    for (const auto& r : jr) {
        PacketRow row;
        if (r.is_array()) {
            row.values = decodeRowValues(r, p.fields, rowNo, "values");
        } else if (r.is_object()) {
            if (!r.contains("change") || !r.at("change").is_string() || !r.contains("values"))
                throw ECodecError("Row " + std::to_string(rowNo) + " needs \"change\" and \"values\"");
            try {
                row.change = RowChangeFromName(r.at("change").get<std::string>());
            } catch (const EConvertError& e) {
                throw ECodecError("Row " + std::to_string(rowNo) + ": " + e.Message());
            }
            row.values = decodeRowValues(r.at("values"), p.fields, rowNo, "values");
            if (row.change == RowChange::Modified || row.change == RowChange::Deleted) {
                if (!r.contains("original"))
                    throw ECodecError("Row " + std::to_string(rowNo) + " (" + RowChangeName(row.change) +
                                      ") needs its \"original\" values");
                row.original = decodeRowValues(r.at("original"), p.fields, rowNo, "original");
            }
        } else {
            throw ECodecError("Row " + std::to_string(rowNo) + " must be an array or an object");
        }
        p.rows.push_back(std::move(row));
        ++rowNo;
    }
    return p;
}

std::string DumpJson(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

json ParseJson(std::string_view text) {
    try {
        return json::parse(text.begin(), text.end());
    } catch (const json::parse_error& e) {
        throw ECodecError(std::string("Malformed JSON: ") + e.what());
    } catch (const json::exception& e) {  // out_of_range: a number too large for a double (1e400)
        throw ECodecError(std::string("Malformed JSON: ") + e.what());
    }
}

std::string EncodeVariant(const Variant& v) {
    std::string out;
    JsonWriter(out).Value(v);
    return out;
}

Variant DecodeVariant(std::string_view text) {
    JsonReader r(text);
    Variant v = r.Value();
    r.End();
    return v;
}

}  // namespace net
