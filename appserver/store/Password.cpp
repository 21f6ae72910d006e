#include "store/Password.h"

#include "core/Exception.h"
#include "core/Text.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <vector>

namespace store {

namespace {

std::string toHex(const unsigned char* p, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    s.reserve(n * 2);
    for (size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

bool fromHex(const std::string& s, std::vector<unsigned char>& out) {
    if (s.size() % 2) return false;
    auto val = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    out.clear();
    for (size_t i = 0; i < s.size(); i += 2) {
        int a = val(s[i]), b = val(s[i + 1]);
        if (a < 0 || b < 0) return false;
        out.push_back(static_cast<unsigned char>(a * 16 + b));
    }
    return true;
}

std::vector<unsigned char> derive(const std::string& password, const std::vector<unsigned char>& salt, int iterations) {
    std::vector<unsigned char> key(32);
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.data(),
                          static_cast<int>(salt.size()), iterations, EVP_sha256(), static_cast<int>(key.size()),
                          key.data()) != 1)
        throw Exception("Password hashing failed");
    return key;
}

std::string format(const std::vector<unsigned char>& salt, int iterations, const std::vector<unsigned char>& key) {
    return "pbkdf2-sha256$" + std::to_string(iterations) + "$" + toHex(salt.data(), salt.size()) + "$" +
           toHex(key.data(), key.size());
}

}  // namespace

std::string HashPassword(const std::string& password) {
    std::vector<unsigned char> salt(16);
    if (RAND_bytes(salt.data(), static_cast<int>(salt.size())) != 1) throw Exception("No random source for the salt");
    return format(salt, kPasswordIterations, derive(password, salt, kPasswordIterations));
}

std::string HashPassword(const std::string& password, const std::string& salt, int iterations) {
    std::vector<unsigned char> s(salt.begin(), salt.end());
    return format(s, iterations, derive(password, s, iterations));
}

bool VerifyPassword(const std::string& password, const std::string& stored) {
    auto parts = text::Split(stored, '$');
    if (parts.size() != 4 || parts[0] != "pbkdf2-sha256") return false;
    int iterations = 0;
    try {
        iterations = std::stoi(parts[1]);
    } catch (...) {
        return false;
    }
    std::vector<unsigned char> salt, expected;
    if (iterations <= 0 || iterations > 10000000 || !fromHex(parts[2], salt) || !fromHex(parts[3], expected) ||
        expected.empty())
        return false;
    std::vector<unsigned char> key(expected.size());
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.data(),
                          static_cast<int>(salt.size()), iterations, EVP_sha256(), static_cast<int>(key.size()),
                          key.data()) != 1)
        return false;
    return CRYPTO_memcmp(key.data(), expected.data(), key.size()) == 0;
}

}  // namespace store
