#include "net/RpcProtocol.h"

#include "net/JsonStream.h"
#include "net/JsonTree.h"

#include <charconv>

using nlohmann::json;

namespace net {

namespace {

RpcId readId(const json& call, std::string& fault) {
    RpcId id;
    if (!call.contains("id")) return id;
    const json& j = call.at("id");
    id.present = true;
    if (j.is_number() || j.is_string() || j.is_null())
        id.json = DumpJson(j);
    else
        fault = "\"id\" must be a number, a text or null";
    return id;
}

VariantArray decodeParams(const json& p) {
    VariantArray out;
    out.reserve(p.size());
    for (size_t i = 0; i < p.size(); ++i) {
        try {
            out.push_back(VariantFromJson(p[i]));
        } catch (const ECodecError& e) {
            throw ERpcError(rpc_code::InvalidParams, "Argument " + std::to_string(i) + ": " + e.Message());
        }
    }
    return out;
}

RpcEntry decodeEntry(const json& j) {
    RpcEntry e;
    auto refuse = [&e](int code, const std::string& message) {
        e.errorCode = code;
        e.errorMessage = message;
        return e;
    };
    if (!j.is_object()) return refuse(rpc_code::InvalidRequest, "A request must be a JSON object");
    RpcRequest& r = e.request;
    std::string idFault;
    r.id = readId(j, idFault);
    if (!idFault.empty()) return refuse(rpc_code::InvalidRequest, idFault);
    if (!j.contains("jsonrpc") || j.at("jsonrpc") != "2.0")
        return refuse(rpc_code::InvalidRequest, "\"jsonrpc\" must be \"2.0\"");
    if (!j.contains("method") || !j.at("method").is_string())
        return refuse(rpc_code::InvalidRequest, "\"method\" must be a text");
    r.method = j.at("method").get<std::string>();
    // Names are echoed in errors and logs; a name of any length is no name.
    if (r.method.size() > kMaxMethodName) {
        r.method.clear();
        return refuse(rpc_code::InvalidRequest, "\"method\" longer than " + std::to_string(kMaxMethodName) + " characters");
    }
    if (!j.contains("params")) return e;
    const json& p = j.at("params");
    try {
        if (p.is_array()) {
            r.params = decodeParams(p);
        } else if (p.is_object()) {
            r.byName = true;
            for (auto it = p.begin(); it != p.end(); ++it) {
                try {
                    r.named.emplace_back(it.key(), VariantFromJson(it.value()));
                } catch (const ECodecError& ce) {
                    throw ERpcError(rpc_code::InvalidParams, "Argument " + it.key() + ": " + ce.Message());
                }
            }
        } else {
            return refuse(rpc_code::InvalidRequest, "\"params\" must be an array or an object");
        }
    } catch (const ERpcError& re) {
        return refuse(re.Code(), re.Message());
    }
    return e;
}

json idValue(const RpcId& id) {
    try {
        return ParseJson(id.json);
    } catch (const ECodecError&) {
        return nullptr;
    }
}

}  // namespace

std::string EncodeRequest(int64_t id, const std::string& method, const VariantArray& params) {
    std::string out;
    JsonWriter w(out);
    w.Raw("{\"id\":");
    w.Integer(id);
    w.Raw(",\"jsonrpc\":\"2.0\",\"method\":");
    w.String(method);
    w.Raw(",\"params\":[");
    for (size_t i = 0; i < params.size(); ++i) {
        if (i) w.Raw(",");
        w.Value(params[i]);
    }
    w.Raw("]}");
    return out;
}

RpcMessage DecodeMessage(std::string_view text) {
    json j;
    try {
        j = ParseJson(text);
    } catch (const ECodecError& e) {
        throw ERpcError(rpc_code::ParseError, e.Message());
    }
    RpcMessage m;
    if (!j.is_array()) {
        m.entries.push_back(decodeEntry(j));
        return m;
    }
    m.batch = true;
    if (j.empty()) throw ERpcError(rpc_code::InvalidRequest, "An empty batch holds no request");
    if (j.size() > kMaxBatch)
        throw ERpcError(rpc_code::InvalidRequest, "A batch holds at most " + std::to_string(kMaxBatch) + " requests");
    m.entries.reserve(j.size());
    for (const auto& call : j) m.entries.push_back(decodeEntry(call));
    return m;
}

RpcRequest DecodeRequest(std::string_view text) {
    RpcMessage m = DecodeMessage(text);
    if (m.batch) throw ERpcError(rpc_code::InvalidRequest, "A batch where one request was expected");
    RpcEntry& e = m.entries.front();
    if (e.errorCode != 0) throw ERpcError(e.errorCode, e.errorMessage);
    return std::move(e.request);
}

std::string EncodeResult(const RpcId& id, const RpcResult& result) {
    std::string out;
    JsonWriter w(out);
    w.Raw("{\"id\":");
    w.Raw(DumpJson(idValue(id)));
    w.Raw(",\"jsonrpc\":\"2.0\",\"result\":{\"refs\":{");
    // Keys in text order, as a JSON object lists them.
    std::map<std::string, const Variant*> refs;
    for (const auto& [index, value] : result.refs) refs[std::to_string(index)] = &value;
    bool first = true;
    for (const auto& [key, value] : refs) {
        if (!first) w.Raw(",");
        first = false;
        w.String(key);
        w.Raw(":");
        w.Value(*value);
    }
    w.Raw("},\"value\":");
    w.Value(result.value);
    w.Raw("}}");
    return out;
}

std::string EncodeError(const RpcId& id, int code, const std::string& message) {
    return DumpJson(json{{"jsonrpc", "2.0"}, {"id", idValue(id)}, {"error", {{"code", code}, {"message", message}}}});
}

std::string JoinAnswers(const std::vector<std::string>& answers) {
    std::string out = "[";
    for (size_t i = 0; i < answers.size(); ++i) {
        if (i) out += ',';
        out += answers[i];
    }
    return out + "]";
}

namespace {

json parseAnswer(std::string_view text) {
    try {
        return ParseJson(text);
    } catch (const ECodecError& e) {
        throw ERpcError(rpc_code::InternalError, "Invalid answer from the server: " + e.Message());
    }
}

RpcResult decodeResponse(const json& j) {
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

}  // namespace

namespace {

// A single answer read in one pass, its value straight into variants.
RpcResult streamResponse(std::string_view text) {
    JsonReader r(text);
    if (r.Peek() != '{') throw ERpcError(rpc_code::InternalError, "Invalid answer from the server");
    r.BeginObject();
    std::string key;
    bool first = true, hasResult = false, hasError = false;
    int code = rpc_code::InternalError;
    std::string message = "Server error";
    RpcResult out;
    while (r.NextKey(key, first)) {
        if (key == "error") {
            hasError = true;
            if (r.Peek() != '{') {
                r.Skip();
                continue;
            }
            r.BeginObject();
            bool f = true;
            std::string k;
            while (r.NextKey(k, f)) {
                if (k == "code" && r.IsIntegerNext()) {
                    Variant n = r.Value();
                    if (n.Type() == VarType::Integer && n.AsInteger() >= INT32_MIN && n.AsInteger() <= INT32_MAX)
                        code = static_cast<int>(n.AsInteger());
                } else if (k == "message" && r.Peek() == '"') {
                    message = r.String();
                } else {
                    r.Skip();
                }
            }
        } else if (key == "result" && !hasError) {
            if (r.Peek() != '{') throw ERpcError(rpc_code::InternalError, "Invalid answer from the server: no result");
            hasResult = true;
            r.BeginObject();
            bool f = true;
            std::string k;
            while (r.NextKey(k, f)) {
                if (k == "value") {
                    out.value = r.Value();
                } else if (k == "refs") {
                    if (r.Peek() != '{') throw ECodecError("\"refs\" must be an object");
                    r.BeginObject();
                    bool fr = true;
                    std::string index;
                    while (r.NextKey(index, fr)) {
                        size_t n = 0;
                        auto [ptr, ec] = std::from_chars(index.data(), index.data() + index.size(), n);
                        if (ec != std::errc() || ptr != index.data() + index.size())
                            throw ECodecError("Invalid argument index '" + index + "' in \"refs\"");
                        out.refs[n] = r.Value();
                    }
                } else {
                    r.Skip();
                }
            }
        } else {
            r.Skip();
        }
    }
    r.End();
    if (hasError) throw ERpcError(code, message);
    if (!hasResult) throw ERpcError(rpc_code::InternalError, "Invalid answer from the server: no result");
    return out;
}

}  // namespace

RpcResult DecodeResponse(std::string_view text) {
    try {
        return streamResponse(text);
    } catch (const ECodecError& e) {
        throw ERpcError(rpc_code::InternalError, "Invalid answer from the server: " + e.Message());
    }
}

std::vector<RpcAnswer> DecodeAnswers(std::string_view text) {
    std::vector<RpcAnswer> out;
    if (text.empty()) return out;
    json j = parseAnswer(text);
    const bool batch = j.is_array();
    if (!batch) j = json::array({std::move(j)});
    for (const auto& one : j) {
        RpcAnswer a;
        if (one.is_object() && one.contains("id")) {
            a.id.present = true;
            a.id.json = DumpJson(one.at("id"));
        }
        try {
            a.result = decodeResponse(one);
        } catch (const ERpcError& e) {
            a.errorCode = e.Code();
            a.errorMessage = e.Message();
        }
        out.push_back(std::move(a));
    }
    return out;
}

}  // namespace net
