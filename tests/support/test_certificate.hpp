#pragma once

#include <string>

namespace quill::test {

// A self-signed server certificate for "localhost" and 127.0.0.1 with a new
// key each time, so two of them have different fingerprints.
class TestCertificate {
public:
    TestCertificate();

    const std::string& certificatePem() const { return certificatePem_; }
    const std::string& keyPem() const { return keyPem_; }
    // SHA-256 of the certificate, upper-case hex without separators.
    const std::string& fingerprint() const { return fingerprint_; }
    // Key and certificate in one PEM file, as servers load them.
    void writePemFile(const std::string& path) const;

private:
    std::string certificatePem_;
    std::string keyPem_;
    std::string fingerprint_;
};

}  // namespace quill::test
