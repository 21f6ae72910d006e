#include "LossyClient.h"

#include "net/RpcProtocol.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace integrity {

namespace {

// Sends the request on a socket of its own, reads at most `keep` bytes of the
// answer and resets the connection (SO_LINGER 0), as a client vanishing does.
void sendAndCut(const std::string& host, int port, const std::string& token, const std::string& body, size_t keep) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, host.c_str(), &addr.sin_addr);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        const std::string request = "POST /rpc HTTP/1.1\r\nHost: " + host + "\r\nAuthorization: Bearer " + token +
                                    "\r\nContent-Type: application/json\r\nContent-Length: " +
                                    std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
        size_t sent = 0;
        while (sent < request.size()) {
            const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<size_t>(n);
        }
        char buf[4096];
        size_t got = 0;
        while (got < keep) {
            const ssize_t n = recv(fd, buf, std::min(sizeof buf, keep - got), 0);
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
    }
    linger reset{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    close(fd);
}

}  // namespace

LossyClient::LossyClient(std::string host, int port, std::string token)
    : host_(std::move(host)), token_(std::move(token)), port_(port) {
    SetPort(port);
}

void LossyClient::SetPort(int port) {
    port_ = port;
    transport_ = std::make_unique<net::HttpTransport>(
        host_, port_, net::HttpTimeouts{std::chrono::milliseconds(2000), std::chrono::milliseconds(60000),
                                        std::chrono::milliseconds(10000)});
}

Outcome LossyClient::Call(const std::string& fullMethod, VariantArray& args, Loss loss, size_t cutAfter) {
    const std::string request = net::EncodeRequest(nextId_++, fullMethod, args);
    Outcome out;
    if (loss == Loss::CutMidAnswer) {
        sendAndCut(host_, port_, token_, request, cutAfter);
        out.text = "connection reset after " + std::to_string(cutAfter) + " bytes of the answer";
        return out;
    }
    std::string answer;
    try {
        answer = transport_->Send(request, token_);
    } catch (const net::ENetError& e) {
        out.text = e.Message();
        return out;
    }
    if (loss == Loss::DropAnswer) {
        out.text = "answer dropped";
        return out;
    }
    try {
        net::RpcResult r = net::DecodeResponse(answer);
        for (auto& [index, value] : r.refs)
            if (index < args.size()) args[index] = value;
        out.kind = Outcome::Answer;
        out.value = std::move(r.value);
    } catch (const net::ERpcError& e) {
        out.kind = Outcome::Error;
        out.code = e.Code();
        out.text = e.Message();
    }
    return out;
}

std::string LossyClient::SignOn(const std::string& host, int port, const std::string& op, const std::string& password) {
    LossyClient c(host, port, "");
    VariantArray args{Variant(op), Variant(password)};
    Outcome o = c.Call("Session.SignOn", args);
    if (o.kind != Outcome::Answer || !o.value.IsArray())
        throw Exception("sign-on of " + op + " refused: " + (o.kind == Outcome::Answer ? o.value.AsString() : o.text));
    return o.value.AsArray()[0].AsString();
}

}  // namespace integrity
