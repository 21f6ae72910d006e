#pragma once
// Throw-away certificates made at test time (OpenSSL): a CA, and server
// certificates it signs for loopback names. Nothing outlives the test process
// but the files written under a temporary folder.
#include <string>

namespace testing_tls {

struct KeyPair {
    std::string certPem;
    std::string keyPem;
};

// A self-signed CA.
KeyPair MakeCa(const std::string& commonName);
// A server certificate signed by ca, naming 127.0.0.1 and localhost.
KeyPair MakeServerCertificate(const KeyPair& ca, const std::string& commonName);
// Writes text to a fresh file in the system's temporary folder; returns its path.
std::string WriteTempFile(const std::string& stem, const std::string& text);

}  // namespace testing_tls
