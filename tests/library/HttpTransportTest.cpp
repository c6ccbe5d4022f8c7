// SendHttpRequest against the scripted fake layer: the calls it makes with
// their arguments, every failure row with its message, code and closed
// handles, and the reply handling.
#include <OrvaneLib/HttpTransport.h>
#include <OrvaneLib/OrvaneException.h>

#include "FakeHttpClient.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace OrvaneLib {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

const std::string kNoNetwork =
    "Unable to locate an internet connection. Please connect to your ISP manually and try again.";
const std::string kNoSession =
    "Unable to open an internet connection. Please connect to your ISP manually and try again.";
const std::string kCannotConnect = "Failed to connect to web server. Try again later.";
const std::string kNoRequest = "Failed to generate an http request. Please call technical support.";
const std::string kRejected =
    "The web server failed to accept your request or your proxy settings are incorrect. Update your settings "
    "and try again later.";
const std::string kProxyCredentials =
    "Your web proxy server is not accepting the user name and or password you provided. Please check these "
    "settings and try again.";
const std::string kServerUnreachable = "Could not reach server.";

const std::string kAcceptedReply =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><getrights><statuscode>1</statuscode><message>OK</message>"
    "<sub_status>A</sub_status></getrights>";

const std::vector<std::string> kAllThree = {"request", "connection", "session"};

ConnectionSettings DirectSettings(const std::string& serviceUrl = "http://qrm.example/qrmapps/web/services") {
    ConnectionSettings settings;
    settings.serviceUrl = serviceUrl;
    return settings;
}

RequestParameters GetRightsParameters() {
    return RequestParameters{{"Action", "qrmGetRights"}, {"HttpRequestString", "<getrights/>\nSIGNATURE"}};
}

// Runs one call over the fake; returns the exception it raised, if any.
struct CallResult {
    bool raised = false;
    std::string message;
    std::string detail;
    std::int32_t code = -1;
};

CallResult Send(FakeHttpClient& layer, ResponseBase& response, const ConnectionSettings& settings,
               RequestParameters parameters = GetRightsParameters()) {
    CallResult result;
    try {
        SendHttpRequest(response, settings, parameters, layer);
    } catch (const OrvaneException& error) {
        result.raised = true;
        result.message = error.message;
        result.detail = error.detail;
        result.code = error.code;
    }
    return result;
}

FakeHttpScript Replying(std::string reply, std::uint32_t status = 200) {
    FakeHttpScript script;
    script.reply = std::move(reply);
    script.status = status;
    return script;
}

std::size_t Position(const std::vector<std::string>& operations, const std::string& operation) {
    return static_cast<std::size_t>(std::find(operations.begin(), operations.end(), operation) - operations.begin());
}

FakeCall OnlyCall(const FakeHttpClient& layer, const std::string& operation) {
    const std::vector<FakeCall> calls = layer.CallsOf(operation);
    EXPECT_EQ(calls.size(), 1u) << operation;
    return calls.empty() ? FakeCall{} : calls.front();
}

TEST(HttpTransport, DirectHttpCallMakesTheListedCallsWithTheirArguments) {
    FakeHttpClient layer(Replying(kAcceptedReply));
    GetRightsResponse response;
    const CallResult result = Send(layer, response, DirectSettings());
    ASSERT_FALSE(result.raised) << result.message;

    EXPECT_THAT(layer.Operations(),
                ElementsAre("AttemptConnect", "Open", "CrackUrl", "Connect", "OpenRequest", "AddRequestHeaders",
                            "SendRequest", "QueryInfo", "ReadFile", "ReadFile", "CloseHandle", "CloseHandle",
                            "CloseHandle"));
    const std::vector<FakeCall>& calls = layer.Calls();
    EXPECT_THAT(calls[0].arguments, ElementsAre("0"));
    EXPECT_THAT(calls[1].arguments, ElementsAre("ORVANE SDK for QRM", "1", "", "", "0x0"));
    EXPECT_THAT(calls[2].arguments, ElementsAre("http://qrm.example/qrmapps/web/services", "0x10000000"));
    EXPECT_THAT(calls[3].arguments, ElementsAre("11", "qrm.example", "80", "", "", "3", "0x0", "0"));
    EXPECT_THAT(calls[4].arguments, ElementsAre("22", "POST", "/qrmapps/web/services/qrmGetRights", "HTTP/1.0", "",
                                                "*/*", "0x80400100", "0"));
    EXPECT_THAT(calls[5].arguments, ElementsAre("33", "Content-type: application/xml\r\n", "0x20000000"));
    EXPECT_THAT(calls[6].arguments, ElementsAre("33", "", "<getrights/>\nSIGNATURE"));
    EXPECT_THAT(calls[7].arguments, ElementsAre("33", "0x20000013"));
    EXPECT_THAT(calls[8].arguments, ElementsAre("33", "260"));
    EXPECT_THAT(layer.ClosedHandles(), ElementsAre("request", "connection", "session"));

    EXPECT_EQ(response.responseXml, kAcceptedReply);
    EXPECT_EQ(response.statusCode, 1);
    EXPECT_EQ(response.message, "OK");
    EXPECT_EQ(response.subStatus, "A");
}

struct FailureCase {
    const char* name;
    std::function<void(FakeHttpScript&)> script;
    std::string message;
    std::int32_t code;
    std::vector<std::string> closed;
};

TEST(HttpTransport, EveryFailureRaisesItsMessageAndCodeAfterClosingWhatWasOpened) {
    const FailureCase cases[] = {
        {"no network", [](FakeHttpScript& s) { s.attemptConnectResult = WinInet::ErrorNotConnected; }, kNoNetwork,
         503, {}},
        {"session not opened", [](FakeHttpScript& s) { s.openFails = true; }, kNoSession, 503, {}},
        {"URL not split", [](FakeHttpScript& s) { s.crackUrlFails = true; }, kCannotConnect, 503, {"session"}},
        {"connection not opened", [](FakeHttpScript& s) { s.connectFails = true; }, kCannotConnect, 503,
         {"session"}},
        {"request not opened", [](FakeHttpScript& s) { s.openRequestFails = true; }, kNoRequest, 503,
         {"connection", "session"}},
        {"send failed, cannot connect",
         [](FakeHttpScript& s) {
             s.sendFails = true;
             s.lastError = WinInet::ErrorCannotConnect;
         },
         kCannotConnect, 503, kAllThree},
        {"send failed, time-out",
         [](FakeHttpScript& s) {
             s.sendFails = true;
             s.lastError = WinInet::ErrorTimeout;
         },
         kRejected, 503, kAllThree},
        {"send failed, no error code",
         [](FakeHttpScript& s) {
             s.sendFails = true;
             s.lastError = 0;
         },
         kRejected, 503, kAllThree},
        {"status 407", [](FakeHttpScript& s) { s.status = 407; }, kProxyCredentials, 407, kAllThree},
        {"status 500", [](FakeHttpScript& s) { s.status = 500; }, kServerUnreachable, 500, kAllThree},
        {"status 503", [](FakeHttpScript& s) { s.status = 503; }, kServerUnreachable, 503, kAllThree},
        {"status 400", [](FakeHttpScript& s) { s.status = 400; }, kRejected, 503, kAllThree},
        {"status 404", [](FakeHttpScript& s) { s.status = 404; }, kRejected, 503, kAllThree},
        {"status 499", [](FakeHttpScript& s) { s.status = 499; }, kRejected, 503, kAllThree},
        {"status query failed", [](FakeHttpScript& s) { s.queryInfoFails = true; }, kRejected, 503, kAllThree},
        {"reply status 0",
         [](FakeHttpScript& s) {
             s.reply = "<r><statuscode>0</statuscode><message>Unknown account</message></r>";
         },
         kRejected, 503, kAllThree},
        {"reply without status", [](FakeHttpScript& s) { s.reply = "<r><message>x</message></r>"; }, kRejected,
         503, kAllThree},
        {"empty reply", [](FakeHttpScript& s) { s.reply = ""; }, "Unknown Error", 0, kAllThree},
        {"reply that is not XML", [](FakeHttpScript& s) { s.reply = "<r><statuscode>1</statuscode>"; },
         "Unknown Error", 0, kAllThree},
    };
    for (const FailureCase& row : cases) {
        SCOPED_TRACE(row.name);
        FakeHttpScript script;
        script.reply = kAcceptedReply;
        row.script(script);
        FakeHttpClient layer(script);
        GetRightsResponse response;

        const CallResult result = Send(layer, response, DirectSettings());

        EXPECT_TRUE(result.raised);
        EXPECT_EQ(result.message, row.message);
        EXPECT_EQ(result.code, row.code);
        EXPECT_EQ(result.detail, "");
        EXPECT_EQ(layer.ClosedHandles(), row.closed);
    }
}

TEST(HttpTransport, NothingIsOpenedWithoutANetworkAndNothingReachesItWithoutAHost) {
    FakeHttpScript offline;
    offline.attemptConnectResult = WinInet::ErrorNotConnected;
    FakeHttpClient noNetwork(offline);
    GetRightsResponse response;
    Send(noNetwork, response, DirectSettings());
    EXPECT_THAT(noNetwork.Operations(), ElementsAre("AttemptConnect"));

    for (const char* url : {"", "qrm.example/qrmapps", "http:///qrmapps/web/services", "http://bad host/x"}) {
        SCOPED_TRACE(url);
        FakeHttpClient layer({});
        const CallResult result = Send(layer, response, DirectSettings(url));
        EXPECT_EQ(result.message, kCannotConnect);
        EXPECT_EQ(result.code, 503);
        EXPECT_THAT(layer.Operations(), ElementsAre("AttemptConnect", "Open", "CrackUrl", "CloseHandle"));
    }
}

TEST(HttpTransport, SendFailureIsClassifiedBeforeAnyHandleIsClosed) {
    FakeHttpScript script;
    script.sendFails = true;
    script.lastError = WinInet::ErrorCannotConnect;
    FakeHttpClient layer(script);
    GetRightsResponse response;
    Send(layer, response, DirectSettings());
    EXPECT_THAT(layer.Operations(),
                ElementsAre("AttemptConnect", "Open", "CrackUrl", "Connect", "OpenRequest", "AddRequestHeaders",
                            "SendRequest", "GetLastError", "CloseHandle", "CloseHandle", "CloseHandle"));
}

TEST(HttpTransport, FailingStatusesAreNotReadNorParsed) {
    for (const std::uint32_t status : {407u, 500u, 503u, 404u}) {
        SCOPED_TRACE(status);
        FakeHttpClient layer(Replying(kAcceptedReply, status));
        GetRightsResponse response;
        response.message = "before";
        Send(layer, response, DirectSettings());
        EXPECT_THAT(layer.Operations(), Not(Contains("ReadFile")));
        EXPECT_EQ(response.responseXml, "");
        EXPECT_EQ(response.message, "before");
    }
}

TEST(HttpTransport, OtherStatusesAreReadAndParsedLike200) {
    for (const std::uint32_t status : {200u, 100u, 204u, 302u, 399u, 501u, 502u, 504u, 599u}) {
        SCOPED_TRACE(status);
        FakeHttpClient layer(Replying(kAcceptedReply, status));
        GetRightsResponse response;
        const CallResult result = Send(layer, response, DirectSettings());
        EXPECT_FALSE(result.raised) << result.message;
        EXPECT_EQ(response.responseXml, kAcceptedReply);
        EXPECT_EQ(response.statusCode, 1);
    }
}

TEST(HttpTransport, RejectedReplyKeepsWhatWasParsed) {
    const std::string reply = "<r><statuscode>0</statuscode><message>Unknown account</message></r>";
    FakeHttpClient layer(Replying(reply));
    GetRightsResponse response;
    const CallResult result = Send(layer, response, DirectSettings());
    EXPECT_EQ(result.message, kRejected);
    EXPECT_EQ(result.code, 503);
    EXPECT_EQ(response.statusCode, 0);
    EXPECT_EQ(response.message, "Unknown account");
    EXPECT_EQ(response.responseXml, reply);
}

TEST(HttpTransport, EmptyReplyLeavesResponseXmlEmptyAndFailsToParse) {
    FakeHttpClient layer(Replying(""));
    GetRightsResponse response;
    response.responseXml = "earlier reply";
    const CallResult result = Send(layer, response, DirectSettings());
    EXPECT_EQ(result.message, "Unknown Error");
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(response.responseXml, "");
}

// Records what Parse received and accepts it.
class RecordingResponse : public ResponseBase {
public:
    void Parse(std::string reply) override {
        parsed.push_back(reply);
        statusCode = 1;
        if (throwInParse) throw std::runtime_error("parse broke");
    }
    std::vector<std::string> parsed;
    bool throwInParse = false;
};

TEST(HttpTransport, ReplyWithANulByteIsStoredUpToItButParsedWhole) {
    const std::string reply("<r>abc</r>\0<tail/>", 18);
    FakeHttpClient layer(Replying(reply));
    RecordingResponse recording;
    Send(layer, recording, DirectSettings());
    EXPECT_EQ(recording.responseXml, "<r>abc</r>");
    EXPECT_THAT(recording.parsed, ElementsAre(reply));

    FakeHttpClient again(Replying(reply));
    GetRightsResponse response;
    const CallResult result = Send(again, response, DirectSettings());
    EXPECT_EQ(response.responseXml, "<r>abc</r>");
    EXPECT_EQ(result.message, "Unknown Error");
    EXPECT_EQ(result.code, 0);
}

TEST(HttpTransport, ReplyIsReadIn260ByteChunksUntilAnEmptyRead) {
    std::string reply;
    for (int i = 0; i < 600; ++i) reply += static_cast<char>('a' + i % 26);
    FakeHttpClient layer(Replying(reply));
    RecordingResponse recording;
    Send(layer, recording, DirectSettings());
    EXPECT_EQ(layer.CallsOf("ReadFile").size(), 4u);  // 260 + 260 + 80 + 0
    for (const FakeCall& read : layer.CallsOf("ReadFile")) EXPECT_EQ(read.arguments.at(1), "260");
    EXPECT_EQ(recording.responseXml, reply);
    EXPECT_THAT(recording.parsed, ElementsAre(reply));
}

TEST(HttpTransport, AnyExceptionFromParseStillClosesAllHandles) {
    FakeHttpClient layer(Replying(kAcceptedReply));
    RecordingResponse recording;
    recording.throwInParse = true;
    RequestParameters parameters = GetRightsParameters();
    EXPECT_THROW(SendHttpRequest(recording, DirectSettings(), parameters, layer), std::runtime_error);
    EXPECT_THAT(layer.ClosedHandles(), ElementsAre("request", "connection", "session"));
}

TEST(HttpTransport, SessionUsesTheProxyOnlyWithAServerAndAPositivePort) {
    struct ProxyCase {
        std::string server;
        std::int32_t port;
        std::string accessType;
        std::string proxyText;
    };
    const ProxyCase cases[] = {
        {"proxy1", 8080, "3", "proxy1:8080"},
        {"proxy1", 1, "3", "proxy1:1"},
        {"http://proxy1", 3128, "3", "http://proxy1:3128"},  // the server text is not examined
        {"proxy1", 0, "1", ""},
        {"proxy1", -1, "1", ""},
        {"", 8080, "1", ""},
    };
    for (const ProxyCase& row : cases) {
        SCOPED_TRACE(row.server + " " + std::to_string(row.port));
        ConnectionSettings settings = DirectSettings();
        settings.proxyServer = row.server;
        settings.proxyPort = row.port;
        FakeHttpClient layer(Replying(kAcceptedReply));
        GetRightsResponse response;
        Send(layer, response, settings);
        EXPECT_THAT(OnlyCall(layer, "Open").arguments,
                    ElementsAre("ORVANE SDK for QRM", row.accessType, row.proxyText, "", "0x0"));
    }
}

TEST(HttpTransport, ProxyCredentialsGoOnTheConnectionEvenForADirectSession) {
    struct CredentialCase {
        std::string user;
        std::string password;
        std::vector<std::vector<std::string>> options;
    };
    const CredentialCase cases[] = {
        {"", "", {}},
        {"", "secret", {}},  // a password alone is never applied
        {"alice", "", {{"22", "43", "alice"}}},
        {"alice", "secret", {{"22", "43", "alice"}, {"22", "44", "secret"}}},
    };
    for (const CredentialCase& row : cases) {
        SCOPED_TRACE(row.user + "/" + row.password);
        ConnectionSettings settings = DirectSettings();  // proxyPort -1: direct
        settings.proxyServer = "proxy1";
        settings.proxyUser = row.user;
        settings.proxyPassword = row.password;
        FakeHttpClient layer(Replying(kAcceptedReply));
        GetRightsResponse response;
        Send(layer, response, settings);

        std::vector<std::vector<std::string>> options;
        for (const FakeCall& call : layer.CallsOf("SetOption")) options.push_back(call.arguments);
        EXPECT_EQ(options, row.options);
        EXPECT_EQ(OnlyCall(layer, "Open").arguments.at(1), "1");
        if (!row.options.empty()) {
            const std::vector<std::string> operations = layer.Operations();
            EXPECT_LT(Position(operations, "AddRequestHeaders"), Position(operations, "SetOption"));
            EXPECT_EQ(Position(operations, "SetOption") + row.options.size(), Position(operations, "SendRequest"));
        }
    }
}

TEST(HttpTransport, SecureTestLooksForHttpsAnywhereInTheLowerCasedAddress) {
    struct SecureCase {
        std::string url;
        std::string host;
        std::string port;
        std::string flags;
        std::string objectName;
    };
    const SecureCase cases[] = {
        {"https://qrm.example/qrmapps/web/services", "qrm.example", "443", "0x80C00100",
         "/qrmapps/web/services/qrmGetRights"},
        {"HTTPS://QRM.EXAMPLE/Services", "QRM.EXAMPLE", "443", "0x80C00100", "/Services/qrmGetRights"},
        {"http://qrm.example/https/services", "qrm.example", "443", "0x80C00100", "/https/services/qrmGetRights"},
        {"https://qrm.example:8443/services", "qrm.example", "443", "0x80C00100", "/services/qrmGetRights"},
        {"http://qrm.example:8080/services", "qrm.example", "80", "0x80400100", "/services/qrmGetRights"},
        {"http://qrm.example", "qrm.example", "80", "0x80400100", "/qrmGetRights"},
    };
    for (const SecureCase& row : cases) {
        SCOPED_TRACE(row.url);
        FakeHttpClient layer(Replying(kAcceptedReply));
        GetRightsResponse response;
        Send(layer, response, DirectSettings(row.url));
        const FakeCall connect = OnlyCall(layer, "Connect");
        EXPECT_EQ(connect.arguments.at(1), row.host);
        EXPECT_EQ(connect.arguments.at(2), row.port);
        const FakeCall request = OnlyCall(layer, "OpenRequest");
        EXPECT_EQ(request.arguments.at(2), row.objectName);
        EXPECT_EQ(request.arguments.at(6), row.flags);
    }
}

TEST(HttpTransport, ObjectNameIsPathSlashAction) {
    struct ObjectCase {
        const char* name;
        std::string url;
        RequestParameters parameters;
        std::string objectName;
        std::string body;
    };
    const ObjectCase cases[] = {
        {"plain", "http://h/qrmapps/web/services", GetRightsParameters(), "/qrmapps/web/services/qrmGetRights",
         "<getrights/>\nSIGNATURE"},
        {"path ends in a slash", "http://h/qrmapps/web/services/", GetRightsParameters(),
         "/qrmapps/web/services//qrmGetRights", "<getrights/>\nSIGNATURE"},
        {"no Action", "http://h/qrmapps/web/services", {{"HttpRequestString", "body"}}, "/qrmapps/web/services/",
         "body"},
        {"no body", "http://h/qrmapps/web/services", {{"Action", "qrmLogout"}}, "/qrmapps/web/services/qrmLogout",
         ""},
        {"query kept in the path", "http://h/services?tenant=7", GetRightsParameters(),
         "/services?tenant=7/qrmGetRights", "<getrights/>\nSIGNATURE"},
        {"escapes decoded", "http://h/qrm%20apps", GetRightsParameters(), "/qrm apps/qrmGetRights",
         "<getrights/>\nSIGNATURE"},
    };
    for (const ObjectCase& row : cases) {
        SCOPED_TRACE(row.name);
        FakeHttpClient layer(Replying(kAcceptedReply));
        GetRightsResponse response;
        Send(layer, response, DirectSettings(row.url), row.parameters);
        EXPECT_EQ(OnlyCall(layer, "OpenRequest").arguments.at(2), row.objectName);
        EXPECT_EQ(OnlyCall(layer, "SendRequest").arguments.at(2), row.body);
    }
}

TEST(HttpTransport, HostNamesAndPathsOfAnyLengthAreHandedOnWhole) {
    const std::string host = std::string(180, 'h') + "." + std::string(120, 'q') + ".example";
    const std::string path = "/" + std::string(1000, 'p');
    FakeHttpClient layer(Replying(kAcceptedReply));
    GetRightsResponse response;
    const CallResult result = Send(layer, response, DirectSettings("https://" + host + path));
    EXPECT_FALSE(result.raised) << result.message;
    EXPECT_EQ(OnlyCall(layer, "Connect").arguments.at(1), host);
    EXPECT_EQ(OnlyCall(layer, "OpenRequest").arguments.at(2), path + "/qrmGetRights");
}

TEST(HttpTransport, AddressIsTakenUpToItsFirstNulByte) {
    const std::string url("http://qrm.example/services\0https", 33);
    FakeHttpClient layer(Replying(kAcceptedReply));
    GetRightsResponse response;
    Send(layer, response, DirectSettings(url));
    EXPECT_EQ(OnlyCall(layer, "CrackUrl").arguments.at(0), "http://qrm.example/services");
    EXPECT_EQ(OnlyCall(layer, "Connect").arguments.at(2), "80");
}

}  // namespace
}  // namespace OrvaneLib
