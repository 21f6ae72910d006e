#include "TestCertificates.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <stdexcept>

namespace testing_tls {

namespace {

template <class T, void (*Free)(T*)>
struct Freer {
    void operator()(T* p) const { Free(p); }
};
using Key = std::unique_ptr<EVP_PKEY, Freer<EVP_PKEY, EVP_PKEY_free>>;
using Cert = std::unique_ptr<X509, Freer<X509, X509_free>>;
using Bio = std::unique_ptr<BIO, Freer<BIO, BIO_free_all>>;

void check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("test certificate: ") + what);
}

std::string text(BIO* b) {
    char* data = nullptr;
    long n = BIO_get_mem_data(b, &data);
    return std::string(data, static_cast<size_t>(n));
}

std::string pemOf(X509* c) {
    Bio b(BIO_new(BIO_s_mem()));
    check(PEM_write_bio_X509(b.get(), c) == 1, "write certificate");
    return text(b.get());
}

std::string pemOf(EVP_PKEY* k) {
    Bio b(BIO_new(BIO_s_mem()));
    check(PEM_write_bio_PrivateKey(b.get(), k, nullptr, nullptr, 0, nullptr, nullptr) == 1, "write key");
    return text(b.get());
}

Key readKey(const std::string& pem) {
    Bio b(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    Key k(PEM_read_bio_PrivateKey(b.get(), nullptr, nullptr, nullptr));
    check(k != nullptr, "read key");
    return k;
}

Cert readCert(const std::string& pem) {
    Bio b(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    Cert c(PEM_read_bio_X509(b.get(), nullptr, nullptr, nullptr));
    check(c != nullptr, "read certificate");
    return c;
}

void extend(X509* cert, X509* issuer, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    check(ext != nullptr, "extension");
    X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
}

// A certificate for key, issued by issuer (itself when null), signed with signer.
Cert make(EVP_PKEY* key, const std::string& cn, X509* issuer, EVP_PKEY* signer, bool ca) {
    Cert c(X509_new());
    X509_set_version(c.get(), 2);
    static std::mt19937 rng(std::random_device{}());
    ASN1_INTEGER_set(X509_get_serialNumber(c.get()), static_cast<long>(rng() & 0x7fffffff));
    X509_gmtime_adj(X509_getm_notBefore(c.get()), -60);
    X509_gmtime_adj(X509_getm_notAfter(c.get()), 24 * 3600);
    X509_set_pubkey(c.get(), key);
    X509_NAME* name = X509_get_subject_name(c.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(cn.c_str()), -1, -1, 0);
    X509_set_issuer_name(c.get(), issuer ? X509_get_subject_name(issuer) : name);
    X509* self = issuer ? issuer : c.get();
    if (ca) {
        extend(c.get(), self, NID_basic_constraints, "critical,CA:TRUE");
        extend(c.get(), self, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        extend(c.get(), self, NID_basic_constraints, "critical,CA:FALSE");
        extend(c.get(), self, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
        extend(c.get(), self, NID_ext_key_usage, "serverAuth");
    }
    check(X509_sign(c.get(), signer, EVP_sha256()) > 0, "sign");
    return c;
}

Key newKey() {
    Key k(EVP_RSA_gen(2048));
    check(k != nullptr, "key generation");
    return k;
}

}  // namespace

KeyPair MakeCa(const std::string& commonName) {
    Key key = newKey();
    Cert cert = make(key.get(), commonName, nullptr, key.get(), true);
    return {pemOf(cert.get()), pemOf(key.get())};
}

KeyPair MakeServerCertificate(const KeyPair& ca, const std::string& commonName) {
    Key caKey = readKey(ca.keyPem);
    Cert caCert = readCert(ca.certPem);
    Key key = newKey();
    Cert cert = make(key.get(), commonName, caCert.get(), caKey.get(), false);
    return {pemOf(cert.get()), pemOf(key.get())};
}

std::string WriteTempFile(const std::string& stem, const std::string& content) {
    static std::mt19937 rng(std::random_device{}());
    auto path = std::filesystem::temp_directory_path() / (stem + "-" + std::to_string(rng()) + ".pem");
    std::ofstream(path) << content;
    return path.string();
}

}  // namespace testing_tls
