#pragma once
// TNetConnection: a named connection to one module of the application server
// ("Pla02000.rdmRetirada"), calling its methods by name with ordered variant
// arguments.
//
// Open runs BeforeConnect (which sets Host and Port), then reaches the server
// (a reopen to the place whose last call was answered trusts that answer: the
// next call finds out, and when no connection can be made it reconnects once):
// Host "inproc://NAME" finds an in-process server, anything else ("127.0.0.1",
// "http://host", "https://host:port") goes over HTTP or HTTPS to Host:Port; a transport set with
// SetTransport is used instead of either. A server that is not there raises
// Exception with a clear text and leaves the connection closed.
//
// Call sends ServerName + "." + method. With ThrowException off, a failed call
// (transport or protocol error) returns the failure text as a string variant,
// as the server's own failure texts are; with it on, it raises Exception.
// The session token is Token when set, else the one this process holds for
// the endpoint (SignOn stores it there).
#include "core/Variant.h"
#include "net/Transport.h"

#include <functional>
#include <memory>
#include <string>

class TNetConnection {
public:
    explicit TNetConnection(std::string name = {}, std::string serverName = {});
    ~TNetConnection();
    TNetConnection(const TNetConnection&) = delete;
    TNetConnection& operator=(const TNetConnection&) = delete;

    std::string Name;
    std::string ServerName;      // module, e.g. "Pla02000.rdmRetirada"
    bool ThrowException = true;  // the screen's connections turn it off
    std::string Host;
    int Port = 0;
    std::string Token;           // overrides the process's session for the endpoint
    std::string CaFile;          // https://: PEM file of the CAs to trust ("" = net::TrustedCaFile(), then the system's)
    std::function<void(TNetConnection&)> BeforeConnect;

    // Replaces the transport made from Host/Port (tests, embedded servers).
    void SetTransport(std::shared_ptr<net::ITransport> transport);

    void Open();   // no-op when open; throws Exception when the server is not there
    void Close();  // no-op when closed
    bool Connected() const { return connected_; }
    void SetConnected(bool value) { value ? Open() : Close(); }

    // Calls a method of ServerName. args are sent in order; the values of
    // by-reference arguments that the server returns are written back into
    // args. Throws Exception when the connection is closed (whatever
    // ThrowException says: that is a fault of the caller, not of the call).
    Variant Call(const std::string& method, VariantArray& args);
    Variant Call(const std::string& method, VariantArray&& args);
    Variant Call(const std::string& method) { return Call(method, VariantArray{}); }

    // Signs on with operator and password ("Session.SignOn") and keeps the
    // token for every connection to this endpoint. Opens the connection if
    // needed. Throws Exception with the server's text on refusal.
    void SignOn(const std::string& operatorCode, const std::string& password);

    // Endpoint of the open transport ("" when closed).
    std::string Endpoint() const;

    // What the user reads for a JSON-RPC error of that code: the server's own
    // text, except for the protocol's refusals (unknown method, bad arguments,
    // unreadable request), which name the operation and send the user to support.
    static std::string UserTextOf(int code, const std::string& serverText, const std::string& fullMethod);

private:
    std::shared_ptr<net::ITransport> makeTransport();
    Variant failure(const std::string& text) const;
    Variant rawCall(const std::string& fullMethod, VariantArray& args, bool& failed);

    std::shared_ptr<net::ITransport> injected_;
    std::shared_ptr<net::ITransport> transport_;  // kept after Close for a reopen to the same place
    std::string transportPlace_;
    bool answered_ = false;  // the transport answered its last probe or call
    bool connected_ = false;
    int64_t nextId_ = 1;
};
