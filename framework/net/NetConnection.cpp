#include "net/NetConnection.h"

#include "core/Exception.h"
#include "core/Text.h"
#include "net/ClientSessions.h"
#include "net/HttpTransport.h"
#include "net/InProcessTransport.h"
#include "net/RpcProtocol.h"
#include "net/VariantJson.h"

TNetConnection::TNetConnection(std::string name, std::string serverName)
    : Name(std::move(name)), ServerName(std::move(serverName)) {}

TNetConnection::~TNetConnection() = default;

void TNetConnection::SetTransport(std::shared_ptr<net::ITransport> transport) { injected_ = std::move(transport); }

std::shared_ptr<net::ITransport> TNetConnection::makeTransport() {
    if (injected_) return injected_;
    std::string host = text::Trim(Host);
    if (text::StartsWith(host, net::kInProcessScheme)) {
        std::string name = host.substr(std::string(net::kInProcessScheme).size());
        auto t = net::FindInProcessServer(name);
        if (!t) throw Exception("Servidor de aplicação interno \"" + name + "\" não está disponível.");
        return t;
    }
    net::TlsClientOptions tls;
    tls.caFile = CaFile;
    for (const char* scheme : {"https://", "http://"}) {
        if (text::StartsWith(text::Lower(host), scheme)) {
            tls.enabled = std::string(scheme) == "https://";
            host = host.substr(std::string(scheme).size());
            break;
        }
    }
    if (!host.empty() && host.back() == '/') host.pop_back();
    int port = Port;
    // "host:port" in the URL wins over an unset port.
    if (auto colon = host.rfind(':'); colon != std::string::npos && host.find(']') == std::string::npos) {
        int urlPort = 0;
        try {
            urlPort = std::stoi(host.substr(colon + 1));
        } catch (const std::exception&) {
            urlPort = 0;
        }
        if (urlPort > 0) {
            if (port <= 0) port = urlPort;
            host = host.substr(0, colon);
        }
    }
    if (port <= 0 && tls.enabled) port = 443;
    if (host.empty()) throw Exception("Conexão " + Name + ": servidor de aplicação não informado.");
    if (port <= 0 || port > 65535)
        throw Exception("Conexão " + Name + ": porta do servidor de aplicação inválida (" + std::to_string(port) + ").");
    return std::make_shared<net::HttpTransport>(host, port, net::HttpTimeouts{}, tls);
}

void TNetConnection::Open() {
    if (connected_) return;
    if (BeforeConnect) BeforeConnect(*this);
    // Reopening to the same place keeps the transport (and its kept-alive
    // socket): the screen opens and closes around every call.
    const std::string place = Host + "|" + std::to_string(Port);
    if (transport_ && !injected_ && place == transportPlace_ && answered_ && transport_->ProbeCostsARoundTrip()) {
        connected_ = true;  // no probe: the call itself finds out
        return;
    }
    std::shared_ptr<net::ITransport> t;
    if (transport_ && !injected_ && place == transportPlace_)
        t = transport_;
    else
        t = makeTransport();
    try {
        t->Probe();
    } catch (const net::ENetError& e) {
        throw Exception(e.Message());
    }
    transport_ = std::move(t);
    transportPlace_ = place;
    answered_ = true;
    connected_ = true;
}

void TNetConnection::Close() { connected_ = false; }

std::string TNetConnection::Endpoint() const {
    return connected_ && transport_ ? transport_->Endpoint() : std::string();
}

Variant TNetConnection::failure(const std::string& text) const {
    if (ThrowException) throw Exception(text);
    return Variant(text);
}

std::string TNetConnection::UserTextOf(int code, const std::string& serverText, const std::string& fullMethod) {
    switch (code) {
        // The server's words for a call it cannot take are for developers.
        case net::rpc_code::ParseError:
        case net::rpc_code::InvalidRequest:
        case net::rpc_code::MethodNotFound:
        case net::rpc_code::InvalidParams:
            return "O servidor de aplicação não atendeu à operação " + fullMethod +
                   ". Informe o suporte técnico.";
        default: return serverText;
    }
}

Variant TNetConnection::rawCall(const std::string& fullMethod, VariantArray& args, bool& failed) {
    failed = false;
    std::string request;
    try {
        request = net::EncodeRequest(nextId_++, fullMethod, args);
    } catch (const net::ECodecError& e) {
        failed = true;
        return Variant(e.Message());
    }
    std::string token = Token.empty() ? net::SessionToken(transport_->Endpoint()) : Token;
    try {
        std::string answer;
        try {
            answer = transport_->Send(request, token);
        } catch (const net::ENetUnreachable&) {
            // Nothing was sent: reconnect once, with a fresh transport, and send again.
            answered_ = false;
            if (injected_) throw;
            transport_ = makeTransport();
            answer = transport_->Send(request, token);
        }
        answered_ = true;
        net::RpcResult result = net::DecodeResponse(answer);
        for (auto& [index, value] : result.refs)
            if (index < args.size()) args[index] = value;
        return result.value;
    } catch (const net::ERpcError& e) {
        failed = true;
        return Variant(UserTextOf(e.Code(), e.Message(), fullMethod));
    } catch (const net::ENetError& e) {
        answered_ = false;
        failed = true;
        return Variant(e.Message());
    } catch (const Exception& e) {
        failed = true;
        return Variant(e.Message());
    }
}

Variant TNetConnection::Call(const std::string& method, VariantArray& args) {
    if (!connected_) throw Exception("Conexão " + Name + " não está aberta.");
    bool failed = false;
    Variant v = rawCall(ServerName + "." + method, args, failed);
    if (failed) return failure(v.AsString());
    return v;
}

Variant TNetConnection::Call(const std::string& method, VariantArray&& args) {
    VariantArray local = std::move(args);
    return Call(method, local);
}

void TNetConnection::SignOn(const std::string& operatorCode, const std::string& password) {
    Open();
    VariantArray args{Variant(operatorCode), Variant(password)};
    bool failed = false;
    std::string saved = Token;
    Token.clear();
    Variant v = rawCall("Session.SignOn", args, failed);
    Token = saved;
    if (failed) throw Exception(v.AsString());
    if (!v.IsArray() || v.AsArray().empty() || !v.AsArray()[0].IsString())
        throw Exception("Resposta inválida do servidor de aplicação à identificação do operador.");
    net::SetSessionToken(transport_->Endpoint(), v.AsArray()[0].AsString());
}
