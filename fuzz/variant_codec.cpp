// Variants, packets and delta packets from the wire: a decoded value encodes
// and decodes back to itself; anything else is a codec error.
#include "net/VariantJson.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    Variant v;
    try {
        v = net::DecodeVariant(text);
    } catch (const net::ECodecError&) {
        return 0;
    }
    const std::string once = net::EncodeVariant(v);
    if (!(net::DecodeVariant(once) == v)) std::abort();
    if (net::EncodeVariant(net::DecodeVariant(once)) != once) std::abort();
    return 0;
}
