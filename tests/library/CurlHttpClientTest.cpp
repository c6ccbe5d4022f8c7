// The libcurl layer under the real transport, against servers on loopback:
// direct calls through ORVANE_CONNECT_TO, forward proxies with and without
// credentials, TLS with a test CA, redirects and network faults.
#include <OrvaneLib/HttpTransport.h>
#include <OrvaneLib/OrvaneException.h>

#include "CurlHttpClient.h"
#include "LoopbackServices.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace OrvaneLib {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using OrvaneTest::ScriptedReply;

[[maybe_unused]] ::testing::Environment* const services = ::testing::AddGlobalTestEnvironment(new LoopbackServices);

const std::string kCannotConnect = "Failed to connect to web server. Try again later.";
const std::string kRejected =
    "The web server failed to accept your request or your proxy settings are incorrect. Update your settings "
    "and try again later.";
const std::string kProxyCredentials =
    "Your web proxy server is not accepting the user name and or password you provided. Please check these "
    "settings and try again.";

const std::string kServicePath = "/qrmapps/web/services/qrmGetRights";
const std::string kAcceptedReply =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><getrights><statuscode>1</statuscode><message>OK</message>"
    "<sub_status>A</sub_status></getrights>";
const std::string kBody = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><getrights><source>QRM</source>"
                          "<id_code>12345</id_code></getrights>\nSIGNATURE-OF-44-CHARACTERS-ABCDEFGHIJKLMNOPQ=";

struct CallResult {
    bool raised = false;
    std::string message;
    std::int32_t code = -1;
};

ConnectionSettings Settings(const std::string& serviceUrl) {
    ConnectionSettings settings;
    settings.serviceUrl = serviceUrl;
    return settings;
}

ConnectionSettings ViaProxy(const std::string& serviceUrl, int proxyPort, const std::string& user = "",
                            const std::string& password = "") {
    ConnectionSettings settings = Settings(serviceUrl);
    settings.proxyServer = "127.0.0.1";
    settings.proxyPort = proxyPort;
    settings.proxyUser = user;
    settings.proxyPassword = password;
    return settings;
}

ScriptedReply Reply(int status, std::string body = kAcceptedReply) {
    ScriptedReply reply;
    reply.status = status;
    reply.body = std::move(body);
    return reply;
}

ScriptedReply Redirect(int status, const std::string& location) {
    ScriptedReply reply = Reply(status, "");
    reply.headers = {{"Location", location}};
    return reply;
}

class CurlHttpClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        services_.plain->Reset();
        services_.secure->Reset();
        for (OrvaneTest::ForwardProxy* proxy : {services_.proxy.get(), services_.guardedProxy.get(),
                                               services_.refusingProxy.get(), services_.tunnelProxy.get()}) {
            proxy->Clear();
        }
        services_.plain->SetReply(kServicePath, Reply(200));
        services_.secure->SetReply(kServicePath, Reply(200));
    }

    // Short enough to keep the fault cases quick, long enough that a busy
    // machine does not trip them on a healthy exchange.
    static CurlHttpClientOptions ShortLimits() {
        CurlHttpClientOptions limits;
        limits.connectTimeout = std::chrono::seconds(3);
        limits.stallTimeout = std::chrono::seconds(2);
        return limits;
    }

    // Posts kBody as qrmGetRights through a fresh layer.
    CallResult Post(const ConnectionSettings& settings, ResponseBase& response,
                    CurlHttpClientOptions limits = ShortLimits()) {
        CurlHttpClient layer(limits);
        RequestParameters parameters{{"Action", "qrmGetRights"}, {"HttpRequestString", kBody}};
        CallResult result;
        try {
            SendHttpRequest(response, settings, parameters, layer);
        } catch (const OrvaneException& error) {
            result = {true, error.message, error.code};
        }
        return result;
    }

    CallResult Post(const ConnectionSettings& settings) {
        GetRightsResponse response;
        return Post(settings, response);
    }

    LoopbackServices& services_ = LoopbackServices::Get();
    // No proxy from the environment may take part unless a test asks for it.
    ScopedEnvironment noHttpProxy_{"http_proxy", std::nullopt};
    ScopedEnvironment noHttpsProxy_{"https_proxy", std::nullopt};
    ScopedEnvironment noAllProxy_{"ALL_PROXY", std::nullopt};
    ScopedEnvironment noCaBundle_{"ORVANE_CA_BUNDLE", std::nullopt};
    ScopedEnvironment noConnectTo_{"ORVANE_CONNECT_TO", std::nullopt};
};

TEST_F(CurlHttpClientTest, NetworkCheckSucceedsWithLoopbackAlone) {
    CurlHttpClient layer;
    EXPECT_EQ(layer.AttemptConnect(0), WinInet::ErrorSuccess);
}

TEST_F(CurlHttpClientTest, DirectCallReachesTheServiceThroughConnectTo) {
    const ScopedEnvironment connectTo("ORVANE_CONNECT_TO", ConnectTo("qrm.test:80", services_.plain->Port()));
    GetRightsResponse response;
    const CallResult result = Post(Settings("http://qrm.test/qrmapps/web/services"), response);
    ASSERT_FALSE(result.raised) << result.message;
    EXPECT_EQ(response.responseXml, kAcceptedReply);
    EXPECT_EQ(response.subStatus, "A");

    const std::vector<OrvaneTest::RecordedRequest> requests = services_.plain->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, kServicePath);
    EXPECT_EQ(requests[0].version, "HTTP/1.0");
    EXPECT_EQ(requests[0].Header("Content-type"), "application/xml");
    EXPECT_EQ(requests[0].Header("User-Agent"), "ORVANE SDK for QRM");
    EXPECT_EQ(requests[0].body, kBody);
}

TEST_F(CurlHttpClientTest, RequestBytesOnTheWireAreExactlyTheListedOnes) {
    const ScopedEnvironment connectTo("ORVANE_CONNECT_TO",
                                      ConnectTo("qrm.test:80", services_.capturingServer->Port()));
    ConnectionSettings settings = Settings("http://qrm.test/qrmapps/web/services");
    settings.userAgent = "Wire Agent 1.0";
    const CallResult result = Post(settings);
    ASSERT_FALSE(result.raised) << result.message;

    const std::optional<OrvaneTest::RawHttpRequest> request = services_.capturingServer->LastRequest();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->RequestLine(), "POST /qrmapps/web/services/qrmGetRights HTTP/1.0");
    std::vector<std::string> headerLines;
    std::size_t begin = request->head.find("\r\n") + 2;
    for (std::size_t end; (end = request->head.find("\r\n", begin)) != begin; begin = end + 2) {
        headerLines.push_back(request->head.substr(begin, end - begin));
    }
    // The transport's request flags carry the keep-connection flag, which an
    // HTTP/1.0 request states as "Connection: Keep-Alive".
    EXPECT_THAT(headerLines, UnorderedElementsAre("Host: qrm.test", "User-Agent: Wire Agent 1.0", "Accept: */*",
                                                  "Content-type: application/xml", "Connection: Keep-Alive",
                                                  "Content-Length: " + std::to_string(kBody.size())));
    EXPECT_EQ(request->body, kBody);
}

TEST_F(CurlHttpClientTest, HttpStatusesOfARealServerFollowTheStatusTable) {
    struct StatusCase {
        int status;
        bool raised;
        std::string message;
        std::int32_t code;
    };
    const StatusCase cases[] = {
        {200, false, "", -1},
        {502, false, "", -1},
        {500, true, "Could not reach server.", 500},
        {503, true, "Could not reach server.", 503},
        {404, true, kRejected, 503},
        {407, true, kProxyCredentials, 407},
    };
    const ScopedEnvironment connectTo("ORVANE_CONNECT_TO", ConnectTo("qrm.test:80", services_.plain->Port()));
    for (const StatusCase& row : cases) {
        SCOPED_TRACE(row.status);
        services_.plain->SetReply(kServicePath, Reply(row.status));
        const CallResult result = Post(Settings("http://qrm.test/qrmapps/web/services"));
        EXPECT_EQ(result.raised, row.raised);
        EXPECT_EQ(result.message, row.message);
        EXPECT_EQ(result.code, row.code);
    }
}

TEST_F(CurlHttpClientTest, ForwardProxyCarriesTheCallWithAnAbsoluteUrl) {
    const CallResult result =
        Post(ViaProxy("http://qrm.test/qrmapps/web/services", services_.proxy->Port()));
    ASSERT_FALSE(result.raised) << result.message;
    const std::vector<OrvaneTest::ForwardProxy::SeenRequest> seen = services_.proxy->Requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].requestLine, "POST http://qrm.test/qrmapps/web/services/qrmGetRights HTTP/1.0");
    ASSERT_EQ(services_.plain->Requests().size(), 1u);
    EXPECT_EQ(services_.plain->Requests()[0].body, kBody);
}

TEST_F(CurlHttpClientTest, ProxyThatDemandsCredentialsGetsThemFromTheSettings) {
    struct CredentialCase {
        std::string user;
        std::string password;
        bool accepted;
    };
    const CredentialCase cases[] = {
        {LoopbackServices::kProxyUser, LoopbackServices::kProxyPassword, true},
        {LoopbackServices::kProxyUser, "wrong", false},
        {"", "", false},
    };
    for (const CredentialCase& row : cases) {
        SCOPED_TRACE(row.user + "/" + row.password);
        const CallResult result = Post(
            ViaProxy("http://qrm.test/qrmapps/web/services", services_.guardedProxy->Port(), row.user, row.password));
        if (row.accepted) {
            EXPECT_FALSE(result.raised) << result.message;
        } else {
            EXPECT_EQ(result.message, kProxyCredentials);
            EXPECT_EQ(result.code, 407);
        }
    }
}

TEST_F(CurlHttpClientTest, ProxyThatRefusesEverythingGivesTheCredentialsMessage) {
    for (const char* url : {"http://qrm.test/qrmapps/web/services", "https://qrm.test/qrmapps/web/services"}) {
        SCOPED_TRACE(url);
        const CallResult result = Post(ViaProxy(url, services_.refusingProxy->Port(), "bob", "pw"));
        EXPECT_EQ(result.message, kProxyCredentials);
        EXPECT_EQ(result.code, 407);
    }
    EXPECT_THAT(services_.plain->Requests(), IsEmpty());
}

TEST_F(CurlHttpClientTest, HttpsIsVerifiedAgainstTheGivenCertificateAuthority) {
    const ScopedEnvironment connectTo("ORVANE_CONNECT_TO", ConnectTo("qrm.test:443", services_.secure->Port()));
    const ScopedEnvironment bundle("ORVANE_CA_BUNDLE", services_.certificates.caCertificateFile);
    GetRightsResponse response;
    const CallResult result = Post(Settings("https://qrm.test/qrmapps/web/services"), response);
    ASSERT_FALSE(result.raised) << result.message;
    EXPECT_EQ(response.subStatus, "A");
    ASSERT_EQ(services_.secure->Requests().size(), 1u);
    EXPECT_EQ(services_.secure->Requests()[0].version, "HTTP/1.0");
}

TEST_F(CurlHttpClientTest, HttpsFailsWhenTheCertificateCannotBeTrusted) {
    struct TrustCase {
        const char* name;
        std::string url;
        std::string connectTo;
        std::optional<std::string> bundle;
    };
    const int port = services_.secure->Port();
    const TrustCase cases[] = {
        {"unknown authority", "https://qrm.test/qrmapps/web/services", ConnectTo("qrm.test:443", port),
         std::nullopt},
        {"other host name", "https://other.test/qrmapps/web/services", ConnectTo("other.test:443", port),
         services_.certificates.caCertificateFile},
        {"missing bundle file", "https://qrm.test/qrmapps/web/services", ConnectTo("qrm.test:443", port),
         services_.folder->Path() + "/no-such-bundle.pem"},
    };
    for (const TrustCase& row : cases) {
        SCOPED_TRACE(row.name);
        const ScopedEnvironment connectTo("ORVANE_CONNECT_TO", row.connectTo);
        const ScopedEnvironment bundle("ORVANE_CA_BUNDLE", row.bundle);
        const CallResult result = Post(Settings(row.url));
        EXPECT_EQ(result.message, kRejected);
        EXPECT_EQ(result.code, 503);
    }
    EXPECT_THAT(services_.secure->Requests(), IsEmpty());
}

TEST_F(CurlHttpClientTest, HttpsTunnelsThroughAProxyWithCredentials) {
    const ScopedEnvironment bundle("ORVANE_CA_BUNDLE", services_.certificates.caCertificateFile);
    const CallResult result =
        Post(ViaProxy("https://qrm.test/qrmapps/web/services", services_.tunnelProxy->Port(),
                      LoopbackServices::kProxyUser, LoopbackServices::kProxyPassword));
    ASSERT_FALSE(result.raised) << result.message;
    const std::vector<OrvaneTest::ForwardProxy::SeenRequest> seen = services_.tunnelProxy->Requests();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().requestLine.substr(0, 26), "CONNECT qrm.test:443 HTTP/");
    EXPECT_TRUE(seen.back().relayed);
    EXPECT_EQ(services_.secure->Requests().size(), 1u);
}

TEST_F(CurlHttpClientTest, DirectSessionIgnoresProxyEnvironmentVariables) {
    const std::string refusing = "http://127.0.0.1:" + std::to_string(services_.refusingProxy->Port());
    const ScopedEnvironment connectTo("ORVANE_CONNECT_TO", ConnectTo("qrm.test:80", services_.plain->Port()));
    const ScopedEnvironment lower("http_proxy", refusing);
    const ScopedEnvironment upper("HTTP_PROXY", refusing);
    const ScopedEnvironment all("ALL_PROXY", refusing);
    const ScopedEnvironment allLower("all_proxy", refusing);
    const CallResult result = Post(Settings("http://qrm.test/qrmapps/web/services"));
    EXPECT_FALSE(result.raised) << result.message;
    EXPECT_THAT(services_.refusingProxy->Requests(), IsEmpty());
}

TEST_F(CurlHttpClientTest, ConfiguredProxyIsUsedWhateverNoProxySays) {
    const ScopedEnvironment lower("no_proxy", "*");
    const ScopedEnvironment upper("NO_PROXY", "qrm.test,127.0.0.1");
    const CallResult result = Post(ViaProxy("http://qrm.test/qrmapps/web/services", services_.proxy->Port()));
    EXPECT_FALSE(result.raised) << result.message;
    EXPECT_EQ(services_.proxy->Requests().size(), 1u);
}

TEST_F(CurlHttpClientTest, NetworkFaultsFailTheCallWithoutHanging) {
    struct FaultCase {
        const char* name;
        int port;
        std::string message;
    };
    const FaultCase cases[] = {
        {"closed port", OrvaneTest::UnusedLoopbackPort(), kCannotConnect},
        {"reset in the middle of the reply", services_.resettingServer->Port(), kRejected},
        {"server that never answers", services_.silentServer->Port(), kRejected},
        {"server that stops in the middle of the reply", services_.stallingServer->Port(), kRejected},
        {"connection never accepted", services_.unansweredListener->Port(), kRejected},
    };
    for (const FaultCase& row : cases) {
        SCOPED_TRACE(row.name);
        const ScopedEnvironment connectTo("ORVANE_CONNECT_TO", ConnectTo("qrm.test:80", row.port));
        GetRightsResponse response;
        const CallResult result = Post(Settings("http://qrm.test/qrmapps/web/services"), response);
        EXPECT_EQ(result.message, row.message);
        EXPECT_EQ(result.code, 503);
        EXPECT_EQ(response.responseXml, "");
    }
}

TEST_F(CurlHttpClientTest, SlowReplyThatKeepsMovingIsNotCutOff) {
    // About 2.5 s in all, a piece every 50 ms and a header line every 100 ms,
    // against a 1 s stall limit.
    const ScopedEnvironment connectTo("ORVANE_CONNECT_TO",
                                      ConnectTo("qrm.test:80", services_.tricklingServer->Port()));
    CurlHttpClientOptions limits = ShortLimits();
    limits.stallTimeout = std::chrono::seconds(1);
    GetRightsResponse response;
    const CallResult result = Post(Settings("http://qrm.test/qrmapps/web/services"), response, limits);
    EXPECT_FALSE(result.raised) << result.message;
    EXPECT_EQ(response.message, "slow but steady");
}

TEST_F(CurlHttpClientTest, UnknownHostGivesTheConnectionMessage) {
    const CallResult result = Post(Settings("http://qrm.invalid/qrmapps/web/services"));
    EXPECT_EQ(result.message, kCannotConnect);
    EXPECT_EQ(result.code, 503);
}

TEST_F(CurlHttpClientTest, TenMegabyteReplyIsReadWhole) {
    const std::string filler(10 * 1024 * 1024, 'x');
    const std::string reply = "<r><statuscode>1</statuscode><message>" + filler + "</message></r>";
    services_.plain->SetReply(kServicePath, Reply(200, reply));
    const ScopedEnvironment connectTo("ORVANE_CONNECT_TO", ConnectTo("qrm.test:80", services_.plain->Port()));
    GetRightsResponse response;
    const CallResult result = Post(Settings("http://qrm.test/qrmapps/web/services"), response);
    ASSERT_FALSE(result.raised) << result.message;
    EXPECT_EQ(response.responseXml.size(), reply.size());
    EXPECT_TRUE(response.responseXml == reply);
    EXPECT_EQ(response.message.size(), filler.size());
}

TEST_F(CurlHttpClientTest, RedirectsAreFollowedUpToFive) {
    const ScopedEnvironment connectTo("ORVANE_CONNECT_TO", ConnectTo("qrm.test:80", services_.plain->Port()));
    for (int hop = 1; hop <= 6; ++hop) {
        services_.plain->SetReply("/hop" + std::to_string(hop), Redirect(307, "/hop" + std::to_string(hop + 1)));
    }
    services_.plain->SetReply("/hop7", Reply(200));

    services_.plain->SetReply(kServicePath, Redirect(307, "/hop3"));  // 5 redirects in all
    EXPECT_FALSE(Post(Settings("http://qrm.test/qrmapps/web/services")).raised);
    const std::vector<OrvaneTest::RecordedRequest> requests = services_.plain->Requests();
    ASSERT_EQ(requests.size(), 6u);
    EXPECT_EQ(requests.back().target, "/hop7");
    EXPECT_EQ(requests.back().method, "POST");  // 307 keeps the method and the body
    EXPECT_EQ(requests.back().body, kBody);

    services_.plain->SetReply(kServicePath, Redirect(307, "/hop2"));  // 6 redirects
    const CallResult tooMany = Post(Settings("http://qrm.test/qrmapps/web/services"));
    EXPECT_EQ(tooMany.message, kRejected);
    EXPECT_EQ(tooMany.code, 503);
}

TEST_F(CurlHttpClientTest, RedirectFromHttpsToHttpIsRefused) {
    const ScopedEnvironment connectTo(
        "ORVANE_CONNECT_TO", ConnectTo("qrm.test:443", services_.secure->Port()) + "," +
                                 ConnectTo("qrm.test:80", services_.plain->Port()));
    const ScopedEnvironment bundle("ORVANE_CA_BUNDLE", services_.certificates.caCertificateFile);
    services_.secure->SetReply(kServicePath, Redirect(302, "http://qrm.test/qrmapps/web/services/qrmGetRights"));
    const CallResult result = Post(Settings("https://qrm.test/qrmapps/web/services"));
    EXPECT_EQ(result.message, kRejected);
    EXPECT_THAT(services_.plain->Requests(), IsEmpty());
}

}  // namespace
}  // namespace OrvaneLib
