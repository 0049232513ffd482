#pragma once

#include <string>

namespace lexoria::test {

// A throw-away self-signed certificate for "localhost" / 127.0.0.1 that is
// marked as a CA, so the same PEM file can be handed to a TLS client as its
// only trust anchor. Cert and key live in a private temp directory which is
// deleted again when the object goes away.
class TestCertificate {
  public:
    // Throws std::runtime_error if key generation, signing or writing fails.
    TestCertificate();
    ~TestCertificate();

    TestCertificate(const TestCertificate&) = delete;
    TestCertificate& operator=(const TestCertificate&) = delete;

    const std::string& certFile() const { return certFile_; }
    const std::string& keyFile() const { return keyFile_; }
    const std::string& directory() const { return directory_; }

  private:
    std::string directory_;
    std::string certFile_;
    std::string keyFile_;
};

}  // namespace lexoria::test
