#include "net/RpcProtocol.h"

#include "net/VariantJson.h"

#include <charconv>

using nlohmann::json;

namespace net {

std::string EncodeRequest(int64_t id, const std::string& method, const VariantArray& params) {
    json params_json = json::array();
    for (const auto& p : params) params_json.push_back(VariantToJson(p));
    return DumpJson(json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params_json)}});
}

RpcRequest DecodeRequest(std::string_view text) {
    json j;
    try {
        j = ParseJson(text);
    } catch (const ECodecError& e) {
        throw ERpcError(rpc_code::ParseError, e.Message());
    }
    if (!j.is_object()) throw ERpcError(rpc_code::InvalidRequest, "A request must be a JSON object");
    RpcRequest r;
    if (j.contains("id")) {
        const json& id = j.at("id");
        if (!id.is_number() && !id.is_string() && !id.is_null())
            throw ERpcError(rpc_code::InvalidRequest, "\"id\" must be a number, a text or null");
        r.id = id;
    }
    if (!j.contains("jsonrpc") || j.at("jsonrpc") != "2.0")
        throw ERpcError(rpc_code::InvalidRequest, "\"jsonrpc\" must be \"2.0\"");
    if (!j.contains("method") || !j.at("method").is_string())
        throw ERpcError(rpc_code::InvalidRequest, "\"method\" must be a text");
    r.method = j.at("method").get<std::string>();
    // Names are echoed in errors and logs; a name of any length is no name.
    if (r.method.size() > kMaxMethodName)
        throw ERpcError(rpc_code::InvalidRequest, "\"method\" longer than " + std::to_string(kMaxMethodName) + " characters");
    if (j.contains("params")) {
        const json& p = j.at("params");
        if (!p.is_array()) throw ERpcError(rpc_code::InvalidParams, "\"params\" must be an array of arguments");
        r.params.reserve(p.size());
        for (size_t i = 0; i < p.size(); ++i) {
            try {
                r.params.push_back(VariantFromJson(p[i]));
            } catch (const ECodecError& e) {
                throw ERpcError(rpc_code::InvalidParams, "Argument " + std::to_string(i) + ": " + e.Message());
            }
        }
    }
    return r;
}

std::string EncodeResult(const json& id, const RpcResult& result) {
    json refs = json::object();
    for (const auto& [index, value] : result.refs) refs[std::to_string(index)] = VariantToJson(value);
    return DumpJson(json{{"jsonrpc", "2.0"},
                         {"id", id},
                         {"result", {{"value", VariantToJson(result.value)}, {"refs", std::move(refs)}}}});
}

std::string EncodeError(const json& id, int code, const std::string& message) {
    return DumpJson(json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
}

RpcResult DecodeResponse(std::string_view text) {
    json j;
    try {
        j = ParseJson(text);
    } catch (const ECodecError& e) {
        throw ERpcError(rpc_code::InternalError, "Invalid answer from the server: " + e.Message());
    }
    if (!j.is_object()) throw ERpcError(rpc_code::InternalError, "Invalid answer from the server");
    if (j.contains("error")) {
        const json& e = j.at("error");
        int code = rpc_code::InternalError;
        std::string message = "Server error";
        if (e.is_object()) {
            if (e.contains("code") && e.at("code").is_number_integer()) code = e.at("code").get<int>();
            if (e.contains("message") && e.at("message").is_string()) message = e.at("message").get<std::string>();
        }
        throw ERpcError(code, message);
    }
    if (!j.contains("result") || !j.at("result").is_object())
        throw ERpcError(rpc_code::InternalError, "Invalid answer from the server: no result");
    const json& res = j.at("result");
    RpcResult out;
    try {
        if (res.contains("value")) out.value = VariantFromJson(res.at("value"));
        if (res.contains("refs")) {
            const json& refs = res.at("refs");
            if (!refs.is_object()) throw ECodecError("\"refs\" must be an object");
            for (auto it = refs.begin(); it != refs.end(); ++it) {
                const std::string& key = it.key();
                size_t index = 0;
                auto [ptr, ec] = std::from_chars(key.data(), key.data() + key.size(), index);
                if (ec != std::errc() || ptr != key.data() + key.size())
                    throw ECodecError("Invalid argument index '" + key + "' in \"refs\"");
                out.refs[index] = VariantFromJson(it.value());
            }
        }
    } catch (const ECodecError& e) {
        throw ERpcError(rpc_code::InternalError, "Invalid answer from the server: " + e.Message());
    }
    return out;
}

}  // namespace net
