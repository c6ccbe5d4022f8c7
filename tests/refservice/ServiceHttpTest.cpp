// The service over real HTTP and HTTPS on loopback, in this process.
#include "DemoAccounts.h"
#include "ReferenceService.h"
#include "RequestLog.h"
#include "ServiceListeners.h"
#include "ServiceTestSupport.h"
#include "TlsMaterial.h"

#include "TemporaryDirectory.h"

#include <OrvaneLib/Responses.h>

#include <httplib.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

using namespace OrvaneRefService;
using OrvaneRefServiceTest::SignedBodyOf;

namespace {

const std::string kRightsPath = std::string(kServiceRoot) + "/qrmGetRights";

class ServiceHttpTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<OrvaneTest::TemporaryDirectory>();
        tls_ = EnsureTlsMaterial(folder_->Path(), {"localhost", "127.0.0.1"});
        store_ = std::make_unique<ServiceStore>(folder_->Path() + "/service.db");
        service_ = std::make_unique<ReferenceService>(*store_, clock_.Clock());
        log_ = std::make_unique<RequestLog>(logText_, clock_.Clock());
        listeners_ = std::make_unique<ServiceListeners>(*service_, *log_);
        httpPort_ = listeners_->ListenHttp("127.0.0.1", 0);
        httpsPort_ = listeners_->ListenHttps("127.0.0.1", 0, tls_);
    }

    static void TearDownTestSuite() {
        listeners_.reset();
        log_.reset();
        service_.reset();
        store_.reset();
        folder_.reset();
    }

    static std::string RightsBody(const std::string& idCode) {
        OrvaneLib::GetRightsRequest request;
        request.idCode = idCode;
        return SignedBodyOf(request);
    }

    httplib::Client Http() { return httplib::Client("127.0.0.1", httpPort_); }

    static inline std::unique_ptr<OrvaneTest::TemporaryDirectory> folder_;
    static inline OrvaneRefServiceTest::FixedClock clock_;
    static inline TlsFiles tls_;
    static inline std::unique_ptr<ServiceStore> store_;
    static inline std::unique_ptr<ReferenceService> service_;
    static inline std::ostringstream logText_;
    static inline std::unique_ptr<RequestLog> log_;
    static inline std::unique_ptr<ServiceListeners> listeners_;
    static inline int httpPort_ = 0;
    static inline int httpsPort_ = 0;
};

TEST_F(ServiceHttpTest, AnswersOverHttpsWithACertificateFromItsOwnAuthority) {
    httplib::SSLClient client("localhost", httpsPort_);
    client.set_ca_cert_path(tls_.caCertificate.c_str());
    client.enable_server_certificate_verification(true);
    const auto result = client.Post(kRightsPath, RightsBody(Demo::kActiveAccount), "application/xml");
    ASSERT_TRUE(result) << httplib::to_string(result.error());
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(result->get_header_value("Content-Type"), "application/xml; charset=UTF-8");

    OrvaneLib::GetRightsResponse rights;
    rights.Parse(result->body);
    EXPECT_EQ(rights.statusCode, 1);
    EXPECT_EQ(rights.subStatus, "A");
}

TEST_F(ServiceHttpTest, AClientThatDoesNotTrustTheAuthorityIsTurnedAway) {
    httplib::SSLClient client("localhost", httpsPort_);
    client.set_ca_cert_path("/etc/ssl/certs/ca-certificates.crt");  // trusts the world, not us
    client.enable_server_certificate_verification(true);
    EXPECT_FALSE(client.Post(kRightsPath, RightsBody(Demo::kActiveAccount), "application/xml"));
}

TEST_F(ServiceHttpTest, SurvivesMalformedRequestsAndKeepsServing) {
    auto client = Http();
    const struct {
        const char* name;
        std::function<httplib::Result()> send;
        int httpStatus;
    } cases[] = {
        {"unsigned garbage", [&] { return client.Post(kRightsPath, "<<<", "application/xml"); }, 200},
        {"empty body", [&] { return client.Post(kRightsPath, "", "application/xml"); }, 200},
        {"too large", [&] { return client.Post(kRightsPath, std::string(kMaxBodyBytes + 1, 'x'), "application/xml"); },
         413},
        {"compressed", [&] {
             return client.Post(kRightsPath, {{"Content-Encoding", "gzip"}}, "\x1f\x8b", 2, "application/xml");
         }, 415},
        {"GET", [&] { return client.Get(kRightsPath); }, 404},
        {"outside the service root", [&] { return client.Post("/elsewhere", "x", "application/xml"); }, 404},
        {"path below an action", [&] { return client.Post(kRightsPath + "/more", "x", "application/xml"); }, 404},
    };
    for (const auto& c : cases) {
        const auto result = c.send();
        ASSERT_TRUE(result) << c.name << ": " << httplib::to_string(result.error());
        EXPECT_EQ(result->status, c.httpStatus) << c.name;
        if (c.httpStatus == 200) {
            OrvaneLib::GetRightsResponse reply;
            reply.Parse(result->body);
            EXPECT_EQ(reply.statusCode, 0) << c.name;
        }
    }
    const auto result = client.Post(kRightsPath, RightsBody(Demo::kActiveAccount), "application/xml");
    ASSERT_TRUE(result);
    OrvaneLib::GetRightsResponse rights;
    rights.Parse(result->body);
    EXPECT_EQ(rights.statusCode, 1);
}

TEST_F(ServiceHttpTest, LogsOneLinePerRequestAndNeverThePassword) {
    OrvaneLib::LoginRequest login;
    login.idCode = Demo::kLoginRequiredAccount;
    login.loginUsername = Demo::kLoginUser;
    login.loginPassword = "pw-that-must-not-be-logged";
    logText_.str("");
    auto client = Http();
    ASSERT_TRUE(client.Post(std::string(kServiceRoot) + "/qrmLogin", SignedBodyOf(login), "application/xml"));
    ASSERT_TRUE(client.Post(kRightsPath, RightsBody("line\nbreak"), "application/xml"));

    // Lines of cpp-httplib's own refusals from earlier tests may land late; only the service's lines count.
    const std::string log = logText_.str();
    std::string serviceLines;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        if (line.find(" qrm") != std::string::npos) {
            serviceLines += line + "\n";
        }
    }
    EXPECT_EQ(serviceLines,
              "2013-03-07 09:30:00 qrmLogin id_code=DEMO3003 refused: The login user name or password is not valid.\n"
              "2013-03-07 09:30:00 qrmGetRights id_code=line?break refused: Unknown identification code.\n");
    EXPECT_EQ(log.find("pw-that-must-not-be-logged"), std::string::npos);
}

class TlsMaterialTest : public testing::Test {
protected:
    static std::string Contents(const std::filesystem::path& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    OrvaneTest::TemporaryDirectory folder_;
};

TEST_F(TlsMaterialTest, KeepsTheAuthorityAndReissuesTheServerCertificateOnlyWhenNeeded) {
    const TlsFiles files = EnsureTlsMaterial(folder_.Path(), {"localhost", "127.0.0.1"});
    const std::string authority = Contents(files.caCertificate);
    const std::string server = Contents(files.serverCertificate);
    EXPECT_EQ(std::filesystem::status(files.caKey).permissions() & std::filesystem::perms::group_read,
              std::filesystem::perms::none);
    EXPECT_EQ(std::filesystem::status(files.serverKey).permissions() & std::filesystem::perms::others_read,
              std::filesystem::perms::none);

    EnsureTlsMaterial(folder_.Path(), {"127.0.0.1", "localhost"});
    EXPECT_EQ(Contents(files.serverCertificate), server) << "same names in another order: nothing to do";

    EnsureTlsMaterial(folder_.Path(), {"localhost", "qrm-dev.orvane.com"});
    EXPECT_NE(Contents(files.serverCertificate), server) << "other names: a new server certificate";
    EXPECT_EQ(Contents(files.caCertificate), authority) << "the authority clients trust stays";
}

TEST_F(TlsMaterialTest, RefusesHalfAnAuthority) {
    const TlsFiles files = EnsureTlsMaterial(folder_.Path(), {"localhost"});
    std::filesystem::remove(files.caKey);
    EXPECT_THROW(EnsureTlsMaterial(folder_.Path(), {"localhost"}), TlsMaterialError);
    EXPECT_THROW(EnsureTlsMaterial(folder_.Path(), {}), TlsMaterialError);
}

}  // namespace
