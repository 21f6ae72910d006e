// JSON-RPC requests and answers from anyone: decoding either raises the
// protocol's error or gives calls that encode and decode back to themselves.
#include "net/RpcProtocol.h"
#include "net/VariantJson.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        net::RpcMessage m = net::DecodeMessage(text);
        for (const auto& e : m.entries) {
            if (e.errorCode != 0 || e.request.byName) continue;
            std::string again;
            try {
                again = net::EncodeRequest(1, e.request.method, e.request.params);
            } catch (const net::ECodecError&) {
                continue;  // a value the wire cannot carry back (none should decode, but it is not a crash)
            }
            net::RpcRequest back = net::DecodeRequest(again);
            if (back.method != e.request.method || back.params != e.request.params) std::abort();
        }
    } catch (const net::ERpcError&) {
    }
    try {
        net::DecodeAnswers(text);
    } catch (const net::ERpcError&) {
    }
    return 0;
}
