#include "Cli_pla02000/services/SendingKey.h"

#include <cstdint>
#include <random>

namespace retirada {

std::string NovaChaveEnvio() {
    static thread_local std::mt19937_64 gen{std::random_device{}()};
    static constexpr char hex[] = "0123456789abcdef";
    std::string s;
    for (int i = 0; i < 2; ++i) {
        uint64_t v = gen();
        for (int k = 0; k < 16; ++k, v >>= 4) s += hex[v & 15];
    }
    return s;
}

}  // namespace retirada
