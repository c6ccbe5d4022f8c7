#include "TlsMaterial.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <unistd.h>

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <set>

namespace OrvaneRefService {

namespace {

template <auto Free>
struct OpenSslFree {
    template <typename T>
    void operator()(T* p) const {
        Free(p);
    }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, OpenSslFree<EVP_PKEY_free>>;
using CertPtr = std::unique_ptr<X509, OpenSslFree<X509_free>>;
using BioPtr = std::unique_ptr<BIO, OpenSslFree<BIO_free_all>>;
using BigNumPtr = std::unique_ptr<BIGNUM, OpenSslFree<BN_free>>;
using ExtensionPtr = std::unique_ptr<X509_EXTENSION, OpenSslFree<X509_EXTENSION_free>>;
using NamesPtr = std::unique_ptr<GENERAL_NAMES, OpenSslFree<GENERAL_NAMES_free>>;

constexpr long kDay = 24L * 60 * 60;
constexpr long kAuthorityDays = 3650;
constexpr long kServerDays = 397;  // what public browsers still accept
constexpr long kRenewalDays = 30;

[[noreturn]] void Fail(const std::string& what) {
    std::string text = what;
    if (const unsigned long code = ERR_get_error(); code != 0) {
        char reason[256];
        ERR_error_string_n(code, reason, sizeof reason);
        text += std::string(": ") + reason;
    }
    ERR_clear_error();
    throw TlsMaterialError(text);
}

KeyPtr NewKey() {
    KeyPtr key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
    if (!key) {
        Fail("cannot create a key");
    }
    return key;
}

// An IP address in its canonical text form, or empty when the text is a DNS name.
std::string CanonicalAddress(const std::string& host) {
    unsigned char bytes[16];
    char text[INET6_ADDRSTRLEN];
    if (inet_pton(AF_INET, host.c_str(), bytes) == 1) {
        return inet_ntop(AF_INET, bytes, text, sizeof text);
    }
    if (inet_pton(AF_INET6, host.c_str(), bytes) == 1) {
        return inet_ntop(AF_INET6, bytes, text, sizeof text);
    }
    return {};
}

std::string SubjectAltNameValue(const std::vector<std::string>& hostNames) {
    std::string value;
    for (const std::string& host : hostNames) {
        const std::string address = CanonicalAddress(host);
        value += (value.empty() ? "" : ",") + (address.empty() ? "DNS:" + host : "IP:" + address);
    }
    return value;
}

// The names a certificate is issued for, as "DNS:name" and "IP:address".
std::set<std::string> NamesOf(const std::vector<std::string>& hostNames) {
    std::set<std::string> names;
    for (const std::string& host : hostNames) {
        const std::string address = CanonicalAddress(host);
        names.insert(address.empty() ? "DNS:" + host : "IP:" + address);
    }
    return names;
}

std::set<std::string> NamesOf(X509* certificate) {
    std::set<std::string> names;
    NamesPtr general(static_cast<GENERAL_NAMES*>(X509_get_ext_d2i(certificate, NID_subject_alt_name, nullptr, nullptr)));
    const int count = general ? sk_GENERAL_NAME_num(general.get()) : 0;
    for (int i = 0; i < count; ++i) {
        const GENERAL_NAME* name = sk_GENERAL_NAME_value(general.get(), i);
        if (name->type == GEN_DNS) {
            const auto* data = ASN1_STRING_get0_data(name->d.dNSName);
            names.insert("DNS:" + std::string(reinterpret_cast<const char*>(data),
                                              static_cast<std::size_t>(ASN1_STRING_length(name->d.dNSName))));
        } else if (name->type == GEN_IPADD) {
            const int length = ASN1_STRING_length(name->d.iPAddress);
            char text[INET6_ADDRSTRLEN];
            const int family = length == 4 ? AF_INET : AF_INET6;
            if ((length == 4 || length == 16) &&
                inet_ntop(family, ASN1_STRING_get0_data(name->d.iPAddress), text, sizeof text) != nullptr) {
                names.insert(std::string("IP:") + text);
            }
        }
    }
    return names;
}

void AddExtension(X509* certificate, X509* issuer, int nid, const std::string& value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    ExtensionPtr extension(X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str()));
    if (!extension || X509_add_ext(certificate, extension.get(), -1) != 1) {
        Fail("cannot add a certificate extension");
    }
}

// A certificate with a random serial number, valid from an hour ago (to allow
// for clock skew) for the given number of days, not yet signed.
CertPtr NewCertificate(EVP_PKEY* key, const std::string& commonName, long days) {
    CertPtr certificate(X509_new());
    BigNumPtr serial(BN_new());
    if (!certificate || !serial || X509_set_version(certificate.get(), 2) != 1 ||
        BN_rand(serial.get(), 127, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY) != 1 ||
        BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(certificate.get())) == nullptr ||
        X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -3600) == nullptr ||
        X509_gmtime_adj(X509_getm_notAfter(certificate.get()), days * kDay) == nullptr ||
        X509_set_pubkey(certificate.get(), key) != 1 ||
        X509_NAME_add_entry_by_txt(X509_get_subject_name(certificate.get()), "CN", MBSTRING_UTF8,
                                   reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1, 0) != 1) {
        Fail("cannot create a certificate");
    }
    return certificate;
}

void Sign(X509* certificate, X509* issuer, EVP_PKEY* issuerKey) {
    if (X509_set_issuer_name(certificate, X509_get_subject_name(issuer)) != 1 ||
        X509_sign(certificate, issuerKey, EVP_sha256()) == 0) {
        Fail("cannot sign a certificate");
    }
}

// Writes the file whole or not at all: a temporary file beside it, renamed.
void WriteFile(const std::filesystem::path& path, const std::string& content, mode_t mode) {
    const std::string temporary = path.string() + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) {
        throw TlsMaterialError("cannot write " + temporary + ": " + std::strerror(errno));
    }
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ::close(fd);
            throw TlsMaterialError("cannot write " + temporary + ": " + std::strerror(errno));
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        throw TlsMaterialError("cannot write " + temporary + ": " + std::strerror(errno));
    }
    std::filesystem::rename(temporary, path);
}

std::string PemOf(X509* certificate) {
    BioPtr bio(BIO_new(BIO_s_mem()));
    if (!bio || PEM_write_bio_X509(bio.get(), certificate) != 1) {
        Fail("cannot encode a certificate");
    }
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(length));
}

std::string PemOf(EVP_PKEY* key) {
    BioPtr bio(BIO_new(BIO_s_mem()));
    if (!bio || PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr) != 1) {
        Fail("cannot encode a key");
    }
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(length));
}

CertPtr ReadCertificate(const std::filesystem::path& path) {
    BioPtr bio(BIO_new_file(path.c_str(), "r"));
    CertPtr certificate(bio ? PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr) : nullptr);
    ERR_clear_error();
    return certificate;
}

KeyPtr ReadKey(const std::filesystem::path& path) {
    BioPtr bio(BIO_new_file(path.c_str(), "r"));
    KeyPtr key(bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr) : nullptr);
    ERR_clear_error();
    return key;
}

void CreateAuthority(const TlsFiles& files) {
    KeyPtr key = NewKey();
    CertPtr certificate = NewCertificate(key.get(), "Orvane Reference Service Local CA", kAuthorityDays);
    AddExtension(certificate.get(), certificate.get(), NID_basic_constraints, "critical,CA:TRUE,pathlen:0");
    AddExtension(certificate.get(), certificate.get(), NID_key_usage, "critical,keyCertSign,cRLSign");
    AddExtension(certificate.get(), certificate.get(), NID_subject_key_identifier, "hash");
    Sign(certificate.get(), certificate.get(), key.get());
    WriteFile(files.caKey, PemOf(key.get()), 0600);
    WriteFile(files.caCertificate, PemOf(certificate.get()), 0644);
}

bool ServerCertificateIsCurrent(const TlsFiles& files, X509* authority, const std::set<std::string>& names) {
    CertPtr certificate = ReadCertificate(files.serverCertificate);
    KeyPtr key = ReadKey(files.serverKey);
    if (!certificate || !key || X509_check_private_key(certificate.get(), key.get()) != 1) {
        return false;
    }
    std::time_t renewBy = std::time(nullptr) + kRenewalDays * kDay;
    const bool signedByAuthority = X509_verify(certificate.get(), X509_get0_pubkey(authority)) == 1;
    ERR_clear_error();
    return signedByAuthority && X509_cmp_time(X509_get0_notAfter(certificate.get()), &renewBy) > 0 &&
           NamesOf(certificate.get()) == names;
}

void IssueServerCertificate(const TlsFiles& files, X509* authority, EVP_PKEY* authorityKey,
                            const std::vector<std::string>& hostNames) {
    KeyPtr key = NewKey();
    CertPtr certificate = NewCertificate(key.get(), "Orvane Reference Service", kServerDays);
    AddExtension(certificate.get(), authority, NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(certificate.get(), authority, NID_key_usage, "critical,digitalSignature");
    AddExtension(certificate.get(), authority, NID_ext_key_usage, "serverAuth");
    AddExtension(certificate.get(), authority, NID_subject_key_identifier, "hash");
    AddExtension(certificate.get(), authority, NID_authority_key_identifier, "keyid:always");
    AddExtension(certificate.get(), authority, NID_subject_alt_name, SubjectAltNameValue(hostNames));
    Sign(certificate.get(), authority, authorityKey);
    WriteFile(files.serverKey, PemOf(key.get()), 0600);
    WriteFile(files.serverCertificate, PemOf(certificate.get()), 0644);
}

}  // namespace

TlsFiles TlsFilesIn(const std::filesystem::path& dataFolder) {
    return {dataFolder / "ca.pem", dataFolder / "ca-key.pem", dataFolder / "server.pem", dataFolder / "server-key.pem"};
}

TlsFiles EnsureTlsMaterial(const std::filesystem::path& dataFolder, const std::vector<std::string>& hostNames) {
    if (hostNames.empty()) {
        throw TlsMaterialError("the server certificate needs at least one host name");
    }
    const TlsFiles files = TlsFilesIn(dataFolder);
    const bool haveCertificate = std::filesystem::exists(files.caCertificate);
    const bool haveKey = std::filesystem::exists(files.caKey);
    if (haveCertificate != haveKey) {
        // Replacing half an authority would silently invalidate what clients trust.
        throw TlsMaterialError("the certificate authority in " + dataFolder.string() +
                               " is incomplete; remove ca.pem and ca-key.pem to create a new one");
    }
    if (!haveCertificate) {
        CreateAuthority(files);
    }
    CertPtr authority = ReadCertificate(files.caCertificate);
    KeyPtr authorityKey = ReadKey(files.caKey);
    if (!authority || !authorityKey || X509_check_private_key(authority.get(), authorityKey.get()) != 1) {
        ERR_clear_error();
        throw TlsMaterialError("cannot read the certificate authority in " + dataFolder.string());
    }
    if (!ServerCertificateIsCurrent(files, authority.get(), NamesOf(hostNames))) {
        IssueServerCertificate(files, authority.get(), authorityKey.get(), hostNames);
    }
    return files;
}

}  // namespace OrvaneRefService
