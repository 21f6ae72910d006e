#pragma once
// A client of one pla-appserver over loopback HTTP that can lose answers on
// purpose, as a network does: the server runs the call (and commits), the
// client never learns the answer and must send the same call again.
//   Loss::None         an ordinary call (net::HttpTransport)
//   Loss::DropAnswer   the answer arrives whole and is thrown away
//   Loss::CutMidAnswer the call goes over a socket of its own, which is reset
//                      after the first `cutAfter` bytes of the answer (0: at
//                      once after sending the request)
// Needs a session token. Never throws for the server's answers: the outcome
// says what came back.
#include "core/Variant.h"
#include "net/HttpTransport.h"

#include <cstdint>
#include <memory>
#include <string>

namespace integrity {

enum class Loss { None, DropAnswer, CutMidAnswer };

struct Outcome {
    enum Kind { Answer, Lost, Error } kind = Lost;
    Variant value;     // Answer: the call's value (by-reference arguments written back)
    int code = 0;      // Error: the JSON-RPC error code
    std::string text;  // Error or Lost: what the client read
};

class LossyClient {
public:
    LossyClient(std::string host, int port, std::string token);
    void SetPort(int port);  // the server came back elsewhere

    Outcome Call(const std::string& fullMethod, VariantArray& args, Loss loss = Loss::None, size_t cutAfter = 0);

    // Signs on (Session.SignOn) at host:port and returns the token; throws Exception when refused.
    static std::string SignOn(const std::string& host, int port, const std::string& op, const std::string& password);

private:
    std::string host_, token_;
    int port_;
    int64_t nextId_ = 1;
    std::unique_ptr<net::HttpTransport> transport_;
};

}  // namespace integrity
