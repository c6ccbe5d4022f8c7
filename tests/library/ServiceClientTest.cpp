// ServiceClient end to end: request object in, signed document over real
// HTTP to a loopback service, parsed response or OrvaneException out.
#include <OrvaneLib/OrvaneException.h>
#include <OrvaneLib/RequestDocuments.h>
#include <OrvaneLib/ServiceClient.h>
#include <OrvaneLib/Signing.h>

#include "LoopbackServices.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace OrvaneLib {
namespace {

using OrvaneTest::ScriptedReply;

[[maybe_unused]] ::testing::Environment* const services = ::testing::AddGlobalTestEnvironment(new LoopbackServices);

const std::string kServiceUrl = "http://qrm.test/qrmapps/web/services";
const std::string kRejected =
    "The web server failed to accept your request or your proxy settings are incorrect. Update your settings "
    "and try again later.";

std::string Document(const std::string& root, const std::string& content) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><" + root + ">" + content + "</" + root + ">";
}

std::string Accepted(const std::string& extra = "") {
    return Document("reply", "<statuscode>1</statuscode><message>Done</message>" + extra);
}

ScriptedReply Reply(std::string body) {
    ScriptedReply reply;
    reply.body = std::move(body);
    return reply;
}

// Runs an operation and turns an OrvaneException into "message|code".
std::string Outcome(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const OrvaneException& error) {
        return error.message + "|" + std::to_string(error.code) + "|" + error.detail;
    }
    return "returned";
}

class ServiceClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        services_.plain->Reset();
        services_.secure->Reset();
        settings_.serviceUrl = kServiceUrl;
    }

    LoopbackServices& services_ = LoopbackServices::Get();
    ScopedEnvironment connectTo_{"ORVANE_CONNECT_TO", ConnectTo("qrm.test:80", services_.plain->Port())};
    ScopedEnvironment noCaBundle_{"ORVANE_CA_BUNDLE", std::nullopt};
    ConnectionSettings settings_;
    ServiceClient client_{settings_};
};

TEST_F(ServiceClientTest, EveryOperationPostsItsSignedDocumentAndParsesItsReply) {
    struct OperationCase {
        std::string action;
        std::string reply;
        // Calls the operation with a filled request; returns the body that
        // BuildRequestParameters makes for that request and a summary of
        // the response.
        std::function<std::pair<std::string, std::string>(ServiceClient&)> call;
        std::string summary;
    };
    auto bodyOf = [](const auto& request) {
        RequestParameters parameters;
        BuildRequestParameters(request, parameters);
        return parameters["HttpRequestString"];
    };
    const OperationCase cases[] = {
        {"qrmGetRights",
         Accepted("<sub_status>A</sub_status><state_no>NY,NJ</state_no><title_key>T-1</title_key>"
                  "<max_users>5</max_users><login_required>true</login_required>"),
         [&](ServiceClient& client) {
             GetRightsRequest request;
             request.idCode = "ABC123";
             GetRightsResponse response;
             client.GetRights(request, response);
             return std::make_pair(bodyOf(request), response.subStatus + "|" + response.stateNo + "|" +
                                                        response.titleKey + "|" + std::to_string(response.maxUsers) +
                                                        "|" + (response.loginRequired ? "true" : "false"));
         },
         "A|NY,NJ|T-1|5|true"},
        {"qrmGetStates", Accepted("<state_no>ny,nj</state_no>"),
         [&](ServiceClient& client) {
             GetStatesRequest request;
             request.idCode = "ABC123";
             request.source = "KWA";
             GetStatesResponse response;
             client.GetStates(request, response);
             return std::make_pair(bodyOf(request), response.stateNo);
         },
         "NY,NJ"},
        {"qrmPutStates", Accepted(),
         [&](ServiceClient& client) {
             PutStatesRequest request;
             request.idCode = "ABC123";
             request.stateList = "NY,NJ,CT";
             PutStatesResponse response;
             client.PutStates(request, response);
             return std::make_pair(bodyOf(request), response.message);
         },
         "Done"},
        {"qrmGetActivities",
         Accepted("<activities><activity><activity_text>Login</activity_text><username>bob</username>"
                  "<create_date>01/02/2024</create_date></activity><activity><activity_text>Logout"
                  "</activity_text></activity></activities>"),
         [&](ServiceClient& client) {
             GetActivitiesRequest request;
             request.idCode = "ABC123";
             request.dateFrom = {2024, 1, 0, 2, 0, 0, 0, 0};
             request.dateTo = {2024, 3, 0, 4, 0, 0, 0, 0};
             GetActivitiesResponse response;
             client.GetActivities(request, response);
             std::string summary;
             for (const ActivityRecord& record : response.activities) {
                 summary += record.activityText + "/" + record.userName + "/" + record.createDate + ";";
             }
             return std::make_pair(bodyOf(request), summary);
         },
         "Login/bob/01/02/2024;Logout//;"},
        {"qrmPutActivity", Accepted(),
         [&](ServiceClient& client) {
             PutActivityRequest request;
             request.idCode = "ABC123";
             request.activityText = "Opened report";
             request.userAgent = "Agent <&>";
             PutActivityResponse response;
             client.PutActivity(request, response);
             return std::make_pair(bodyOf(request), response.message);
         },
         "Done"},
        {"qrmLogin", Accepted(),
         [&](ServiceClient& client) {
             LoginRequest request;
             request.idCode = "ABC123";
             request.loginUsername = "bob";
             request.loginPassword = "pa]]>ss";
             request.loginRequired = true;
             LoginResponse response;
             client.Login(request, response);
             return std::make_pair(bodyOf(request), response.message);
         },
         "Done"},
        {"qrmLogout", Accepted(),
         [&](ServiceClient& client) {
             LogoutRequest request;
             request.idCode = "ABC123";
             request.loginUsername = "bob";
             LogoutResponse response;
             client.Logout(request, response);
             return std::make_pair(bodyOf(request), response.message);
         },
         "Done"},
    };
    for (const OperationCase& row : cases) {
        SCOPED_TRACE(row.action);
        services_.plain->Reset();
        services_.plain->SetReply("/qrmapps/web/services/" + row.action, Reply(row.reply));

        std::pair<std::string, std::string> outcome;
        ASSERT_EQ(Outcome([&] { outcome = row.call(client_); }), "returned");
        EXPECT_EQ(outcome.second, row.summary);

        const std::vector<OrvaneTest::RecordedRequest> requests = services_.plain->Requests();
        ASSERT_EQ(requests.size(), 1u);
        const OrvaneTest::RecordedRequest& request = requests.front();
        EXPECT_EQ(request.method, "POST");
        EXPECT_EQ(request.target, "/qrmapps/web/services/" + row.action);
        EXPECT_EQ(request.version, "HTTP/1.0");
        EXPECT_EQ(request.Header("Content-type"), "application/xml");
        EXPECT_EQ(request.Header("User-Agent"), "ORVANE SDK for QRM");
        EXPECT_EQ(request.body, outcome.first);
        // The body is the document, a line feed and the document's signature.
        const std::size_t lineFeed = request.body.rfind('\n');
        ASSERT_NE(lineFeed, std::string::npos);
        const std::string document = request.body.substr(0, lineFeed);
        EXPECT_EQ(request.body.substr(lineFeed + 1), SignDocument(document, SigningKey));
        EXPECT_EQ(request.body.size() - lineFeed - 1, 44u);
    }
}

TEST_F(ServiceClientTest, RejectedReplyRaisesAndLeavesTheParsedFields) {
    const std::string reply = Document("reply", "<statuscode>0</statuscode><message>Unknown account</message>");
    services_.plain->SetReply("/qrmapps/web/services/qrmGetStates", Reply(reply));
    GetStatesRequest request;
    GetStatesResponse response;
    EXPECT_EQ(Outcome([&] { client_.GetStates(request, response); }), kRejected + "|503|");
    EXPECT_EQ(response.statusCode, 0);
    EXPECT_EQ(response.message, "Unknown account");
    EXPECT_EQ(response.responseXml, reply);
}

TEST_F(ServiceClientTest, FailuresReachTheCallerAsRaised) {
    struct FailureCase {
        const char* name;
        std::optional<std::string> connectTo;
        std::string reply;
        std::string outcome;
        std::string responseXml;
    };
    const FailureCase cases[] = {
        {"no service listening", ConnectTo("qrm.test:80", OrvaneTest::UnusedLoopbackPort()), "",
         "Failed to connect to web server. Try again later.|503|", "kept"},
        {"reply that does not parse", std::nullopt, "<reply><statuscode>1", "Unknown Error|0|",
         "<reply><statuscode>1"},
    };
    for (const FailureCase& row : cases) {
        SCOPED_TRACE(row.name);
        const ScopedEnvironment connectTo("ORVANE_CONNECT_TO",
                                          row.connectTo ? row.connectTo
                                                        : ConnectTo("qrm.test:80", services_.plain->Port()));
        services_.plain->SetReply("/qrmapps/web/services/qrmLogout", Reply(row.reply));
        LogoutRequest request;
        LogoutResponse response;
        response.responseXml = "kept";
        EXPECT_EQ(Outcome([&] { client_.Logout(request, response); }), row.outcome);
        EXPECT_EQ(response.responseXml, row.responseXml);
    }
}

TEST_F(ServiceClientTest, EmptyIdentificationCodeIsSentUnchanged) {
    services_.plain->SetReply("/qrmapps/web/services/qrmGetRights", Reply(Accepted()));
    GetRightsRequest request;
    GetRightsResponse response;
    ASSERT_EQ(Outcome([&] { client_.GetRights(request, response); }), "returned");
    ASSERT_EQ(services_.plain->Requests().size(), 1u);
    EXPECT_THAT(services_.plain->Requests()[0].body, ::testing::HasSubstr("<id_code></id_code>"));
}

TEST_F(ServiceClientTest, ChangedServiceUrlIsUsedByTheNextCall) {
    const ScopedEnvironment connectTo("ORVANE_CONNECT_TO", ConnectTo("qrm.test:80", services_.plain->Port()) + "," +
                                                               ConnectTo("other.test:80", services_.plain->Port()));
    services_.plain->SetResponder([](const OrvaneTest::RecordedRequest&) { return Reply(Accepted()); });
    GetRightsRequest rights;
    GetRightsResponse rightsResponse;
    ASSERT_EQ(Outcome([&] { client_.GetRights(rights, rightsResponse); }), "returned");
    settings_.serviceUrl = "http://other.test/alternate/services";
    GetStatesRequest states;
    GetStatesResponse statesResponse;
    ASSERT_EQ(Outcome([&] { client_.GetStates(states, statesResponse); }), "returned");

    const std::vector<OrvaneTest::RecordedRequest> requests = services_.plain->Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].Header("Host"), "qrm.test");
    EXPECT_EQ(requests[0].target, "/qrmapps/web/services/qrmGetRights");
    EXPECT_EQ(requests[1].Header("Host"), "other.test");
    EXPECT_EQ(requests[1].target, "/alternate/services/qrmGetStates");
}

TEST_F(ServiceClientTest, HttpsServiceIsReachedWithTheTrustedAuthority) {
    const ScopedEnvironment connectTo("ORVANE_CONNECT_TO", ConnectTo("qrm.test:443", services_.secure->Port()));
    const ScopedEnvironment bundle("ORVANE_CA_BUNDLE", services_.certificates.caCertificateFile);
    services_.secure->SetReply("/qrmapps/web/services/qrmLogin", Reply(Accepted()));
    settings_.serviceUrl = "https://qrm.test/qrmapps/web/services";
    LoginRequest request;
    LoginResponse response;
    EXPECT_EQ(Outcome([&] { client_.Login(request, response); }), "returned");
    EXPECT_EQ(response.message, "Done");
    EXPECT_EQ(services_.secure->Requests().size(), 1u);
}

TEST_F(ServiceClientTest, ProxyWithCredentialsCarriesTheCall) {
    services_.plain->SetReply("/qrmapps/web/services/qrmPutStates", Reply(Accepted()));
    services_.guardedProxy->Clear();
    settings_.proxyServer = "127.0.0.1";
    settings_.proxyPort = services_.guardedProxy->Port();
    settings_.proxyUser = LoopbackServices::kProxyUser;
    settings_.proxyPassword = LoopbackServices::kProxyPassword;
    PutStatesRequest request;
    PutStatesResponse response;
    EXPECT_EQ(Outcome([&] { client_.PutStates(request, response); }), "returned");
    ASSERT_FALSE(services_.guardedProxy->Requests().empty());
    EXPECT_TRUE(services_.guardedProxy->Requests().back().relayed);
    EXPECT_EQ(services_.plain->Requests().size(), 1u);
}

}  // namespace
}  // namespace OrvaneLib
