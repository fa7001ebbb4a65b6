#include "support/test_certificate.hpp"

#include <arpa/inet.h>
#include <gnutls/gnutls.h>
#include <gnutls/x509.h>

#include <ctime>
#include <fstream>
#include <stdexcept>

namespace quill::test {

namespace {

void check(int result, const char* what) {
    if (result < 0) throw std::runtime_error(std::string("test certificate: ") + what + ": " + gnutls_strerror(result));
}

std::string take(gnutls_datum_t& datum) {
    std::string text(reinterpret_cast<const char*>(datum.data), datum.size);
    gnutls_free(datum.data);
    return text;
}

}  // namespace

TestCertificate::TestCertificate() {
    gnutls_x509_privkey_t key = nullptr;
    gnutls_x509_crt_t certificate = nullptr;
    check(gnutls_x509_privkey_init(&key), "key");
    check(gnutls_x509_crt_init(&certificate), "certificate");
    try {
        check(gnutls_x509_privkey_generate(key, GNUTLS_PK_ECDSA, GNUTLS_CURVE_TO_BITS(GNUTLS_ECC_CURVE_SECP256R1), 0),
              "generate");
        const std::time_t now = std::time(nullptr);
        const unsigned char serial[] = {0x01, static_cast<unsigned char>(now & 0x7F)};
        in_addr loopback{};
        ::inet_pton(AF_INET, "127.0.0.1", &loopback);
        check(gnutls_x509_crt_set_version(certificate, 3), "version");
        check(gnutls_x509_crt_set_serial(certificate, serial, sizeof serial), "serial");
        check(gnutls_x509_crt_set_activation_time(certificate, now - 3600), "activation");
        check(gnutls_x509_crt_set_expiration_time(certificate, now + 86400), "expiration");
        check(gnutls_x509_crt_set_dn(certificate, "CN=localhost", nullptr), "name");
        check(gnutls_x509_crt_set_subject_alt_name(certificate, GNUTLS_SAN_DNSNAME, "localhost", 9, GNUTLS_FSAN_SET),
              "DNS name");
        check(gnutls_x509_crt_set_subject_alt_name(certificate, GNUTLS_SAN_IPADDRESS, &loopback, sizeof loopback,
                                                   GNUTLS_FSAN_APPEND),
              "address");
        check(gnutls_x509_crt_set_key(certificate, key), "public key");
        check(gnutls_x509_crt_sign2(certificate, certificate, key, GNUTLS_DIG_SHA256, 0), "sign");

        gnutls_datum_t out{};
        check(gnutls_x509_crt_export2(certificate, GNUTLS_X509_FMT_PEM, &out), "export");
        certificatePem_ = take(out);
        check(gnutls_x509_privkey_export2_pkcs8(key, GNUTLS_X509_FMT_PEM, nullptr, GNUTLS_PKCS_PLAIN, &out),
              "export key");
        keyPem_ = take(out);
        check(gnutls_x509_crt_export2(certificate, GNUTLS_X509_FMT_DER, &out), "export DER");
        const std::string der = take(out);
        const gnutls_datum_t derDatum{reinterpret_cast<unsigned char*>(const_cast<char*>(der.data())),
                                      static_cast<unsigned>(der.size())};
        unsigned char digest[32];
        std::size_t size = sizeof digest;
        check(gnutls_fingerprint(GNUTLS_DIG_SHA256, &derDatum, digest, &size), "fingerprint");
        static const char digits[] = "0123456789ABCDEF";
        for (std::size_t i = 0; i < size; ++i) {
            fingerprint_ += digits[digest[i] >> 4];
            fingerprint_ += digits[digest[i] & 0x0F];
        }
    } catch (...) {
        gnutls_x509_crt_deinit(certificate);
        gnutls_x509_privkey_deinit(key);
        throw;
    }
    gnutls_x509_crt_deinit(certificate);
    gnutls_x509_privkey_deinit(key);
}

void TestCertificate::writePemFile(const std::string& path) const {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << keyPem_ << certificatePem_;
    if (!file) throw std::runtime_error("test certificate: cannot write " + path);
}

}  // namespace quill::test
