#pragma once

#include <string>
#include <vector>

namespace OrvaneTest {

// PEM files of a throw-away certificate authority and of a server
// certificate it signed. Nothing here is ever committed: every test run
// makes new keys.
struct TestCertificates {
    std::string caCertificateFile;   // trust this one (e.g. ORVANE_CA_BUNDLE)
    std::string certificateFile;     // the server's certificate
    std::string privateKeyFile;      // the server's private key
};

// Creates a CA and a server certificate valid for the given names (host
// names, or IPv4/IPv6 literals such as "127.0.0.1") in `directory`.
// Throws std::runtime_error when OpenSSL fails.
TestCertificates CreateTestCertificates(const std::string& directory, const std::vector<std::string>& hostNames);

}  // namespace OrvaneTest
