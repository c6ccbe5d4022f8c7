#include "TestCertificates.h"

#include <arpa/inet.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>
#include <stdexcept>

namespace OrvaneTest {
namespace {

using KeyPointer = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using CertificatePointer = std::unique_ptr<X509, decltype(&X509_free)>;
using BioPointer = std::unique_ptr<BIO, decltype(&BIO_free)>;

void Require(bool condition, const char* what) {
    if (!condition) throw std::runtime_error(std::string("test certificates: ") + what + " failed");
}

KeyPointer NewKey() {
    KeyPointer key(EVP_EC_gen("P-256"), &EVP_PKEY_free);
    Require(key != nullptr, "key generation");
    return key;
}

bool IsIpAddress(const std::string& name) {
    unsigned char buffer[16];
    return inet_pton(AF_INET, name.c_str(), buffer) == 1 || inet_pton(AF_INET6, name.c_str(), buffer) == 1;
}

std::string SubjectAltNames(const std::vector<std::string>& hostNames) {
    std::string names;
    for (const std::string& name : hostNames) {
        if (!names.empty()) names += ",";
        names += (IsIpAddress(name) ? "IP:" : "DNS:") + name;
    }
    return names;
}

void AddExtension(X509* certificate, X509V3_CTX& context, int nid, const std::string& value) {
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
    Require(extension != nullptr, "certificate extension");
    const int added = X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
    Require(added == 1, "adding an extension");
}

// A CA certificate when issuer is null (self-signed), else a server
// certificate for hostNames signed by issuer.
CertificatePointer NewCertificate(EVP_PKEY* key, const std::string& commonName, long serial, X509* issuer,
                                  EVP_PKEY* issuerKey, const std::vector<std::string>& hostNames) {
    CertificatePointer certificate(X509_new(), &X509_free);
    Require(certificate != nullptr, "X509_new");
    X509* cert = certificate.get();
    Require(X509_set_version(cert, 2) == 1, "version");
    Require(ASN1_INTEGER_set(X509_get_serialNumber(cert), serial) == 1, "serial number");
    Require(X509_gmtime_adj(X509_getm_notBefore(cert), -3600) != nullptr, "validity start");
    Require(X509_gmtime_adj(X509_getm_notAfter(cert), 7L * 24 * 3600) != nullptr, "validity end");
    Require(X509_set_pubkey(cert, key) == 1, "public key");
    X509_NAME* subject = X509_get_subject_name(cert);
    Require(X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC,
                                       reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1, 0) == 1,
            "subject name");
    const bool isCa = issuer == nullptr;
    Require(X509_set_issuer_name(cert, isCa ? subject : X509_get_subject_name(issuer)) == 1, "issuer name");

    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, isCa ? cert : issuer, cert, nullptr, nullptr, 0);
    AddExtension(cert, context, NID_basic_constraints, isCa ? "critical,CA:TRUE" : "critical,CA:FALSE");
    AddExtension(cert, context, NID_key_usage,
                 isCa ? "critical,keyCertSign,cRLSign" : "critical,digitalSignature,keyEncipherment");
    AddExtension(cert, context, NID_subject_key_identifier, "hash");
    AddExtension(cert, context, NID_authority_key_identifier, "keyid:always");
    if (!isCa) {
        AddExtension(cert, context, NID_ext_key_usage, "serverAuth");
        AddExtension(cert, context, NID_subject_alt_name, SubjectAltNames(hostNames));
    }
    Require(X509_sign(cert, isCa ? key : issuerKey, EVP_sha256()) > 0, "signing");
    return certificate;
}

BioPointer OpenForWriting(const std::string& path) {
    BioPointer file(BIO_new_file(path.c_str(), "w"), &BIO_free);
    Require(file != nullptr, ("opening " + path).c_str());
    return file;
}

void WriteCertificate(const std::string& path, X509* certificate) {
    const BioPointer file = OpenForWriting(path);
    Require(PEM_write_bio_X509(file.get(), certificate) == 1, "writing a certificate");
}

void WriteKey(const std::string& path, EVP_PKEY* key) {
    const BioPointer file = OpenForWriting(path);
    Require(PEM_write_bio_PrivateKey(file.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1, "writing a key");
}

}  // namespace

TestCertificates CreateTestCertificates(const std::string& directory, const std::vector<std::string>& hostNames) {
    Require(!hostNames.empty(), "naming the server");
    const KeyPointer caKey = NewKey();
    const CertificatePointer ca = NewCertificate(caKey.get(), "Orvane Test CA", 1, nullptr, nullptr, {});
    const KeyPointer serverKey = NewKey();
    const CertificatePointer server =
        NewCertificate(serverKey.get(), hostNames.front(), 2, ca.get(), caKey.get(), hostNames);

    TestCertificates files{directory + "/test-ca.pem", directory + "/server.pem", directory + "/server-key.pem"};
    WriteCertificate(files.caCertificateFile, ca.get());
    WriteCertificate(files.certificateFile, server.get());
    WriteKey(files.privateKeyFile, serverKey.get());
    return files;
}

}  // namespace OrvaneTest
