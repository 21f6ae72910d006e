#pragma once
// Operator passwords, stored as a salted slow hash (PBKDF2-HMAC-SHA256):
// "pbkdf2-sha256$ITERATIONS$SALT_HEX$HASH_HEX".
#include <string>

namespace store {

constexpr int kPasswordIterations = 120000;

// Hashes with a fresh random salt. Throws Exception when the system has no randomness.
std::string HashPassword(const std::string& password);
// Hashes with the salt given (tests and reproducible demo data).
std::string HashPassword(const std::string& password, const std::string& salt, int iterations = kPasswordIterations);
// True when password matches the stored hash; false for a malformed one. Constant-time comparison.
bool VerifyPassword(const std::string& password, const std::string& stored);

}  // namespace store
