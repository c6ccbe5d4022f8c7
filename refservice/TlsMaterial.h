#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace OrvaneRefService {

class TlsMaterialError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The PEM files of the service's own certificate authority and server
// certificate, all in the data folder.
struct TlsFiles {
    std::filesystem::path caCertificate;      // ca.pem: what clients trust (ORVANE_CA_BUNDLE)
    std::filesystem::path caKey;              // ca-key.pem
    std::filesystem::path serverCertificate;  // server.pem
    std::filesystem::path serverKey;          // server-key.pem
};

TlsFiles TlsFilesIn(const std::filesystem::path& dataFolder);

// Creates the authority on first use and (re)issues the server certificate
// when it is missing, is not from this authority, names other hosts, or
// expires within 30 days. Host names may be DNS names or IP addresses.
// Keys are written readable by the owner only.
TlsFiles EnsureTlsMaterial(const std::filesystem::path& dataFolder, const std::vector<std::string>& hostNames);

}  // namespace OrvaneRefService
