// The command-line client against the reference service, both as separate
// processes, over HTTPS with certificate checks on: the development host
// name is sent to the local service with ORVANE_CONNECT_TO and the service's
// own authority is trusted with ORVANE_CA_BUNDLE.
#include "ProgramRun.h"
#include "ServiceProcess.h"

#include "ForwardProxy.h"
#include "LoopbackHttpServer.h"
#include "TemporaryDirectory.h"
#include "TestCertificates.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <memory>

using namespace OrvaneEndToEnd;

namespace {

const std::string kDevelopmentRoot = "https://qrm-dev.orvane.com/qrmapps/web/services";
const std::string kRejected =
    "error: The web server failed to accept your request or your proxy settings are incorrect. Update your "
    "settings and try again later. (code 503)\n";

// `"name":value` as the CLI's JSON writes a member; value is already JSON.
std::string Member(const std::string& name, const std::string& jsonValue) {
    return "\"" + name + "\":" + jsonValue;
}

class CliEndToEndTest : public testing::Test {
protected:
    void SetUp() override { service_ = std::make_unique<ServiceProcess>(ORVANE_REFSERVICE_PROGRAM, folder_.Path()); }

    // Runs `orvane --json <arguments>` against the development host, which is
    // sent to `port` (the service's HTTPS port unless a test says otherwise).
    ProgramResult Cli(std::vector<std::string> arguments, int port = 0, bool connectTo = true) {
        arguments.insert(arguments.begin(), {"--url", kDevelopmentRoot, "--json"});
        std::map<std::string, std::string> environment = {{"ORVANE_CA_BUNDLE", service_->CaFile()},
                                                          {"ORVANE_CONNECT_TO", ""}};
        if (connectTo) {
            environment["ORVANE_CONNECT_TO"] =
                "qrm-dev.orvane.com:443:127.0.0.1:" + std::to_string(port != 0 ? port : service_->HttpsPort());
        }
        return RunProgram(ORVANE_CLI_PROGRAM, arguments, environment);
    }

    static bool Has(const ProgramResult& result, const std::string& text) {
        return result.out.find(text) != std::string::npos;
    }

    OrvaneTest::TemporaryDirectory folder_;
    std::unique_ptr<ServiceProcess> service_;
};

TEST_F(CliEndToEndTest, GetRightsReportsTheStandingOfEachDemoAccount) {
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::string> members;
    } cases[] = {
        {{"get-rights", "--id-code", "DEMO1001"},
         {Member("statusCode", "1"), Member("subStatus", "\"A\""), Member("stateNo", "\"3,7,12\""),
          Member("maxUsers", "5"), Member("loginRequired", "false")}},
        {{"get-rights", "--id-code", "DEMO2002"}, {Member("subStatus", "\"S\"")}},
        {{"get-rights", "--id-code", "DEMO3003"}, {Member("subStatus", "\"A\""), Member("loginRequired", "true")}},
        {{"get-rights", "--id-code", "KW-4004-17", "--source", "KWA"},
         {Member("subStatus", "\"A\""), Member("titleKey", "\"ORV-KIOSK\"")}},
    };
    for (const auto& c : cases) {
        const ProgramResult result = Cli(c.arguments);
        EXPECT_EQ(result.exitStatus, 0) << c.arguments[2] << "\n" << result.err;
        for (const std::string& member : c.members) {
            EXPECT_TRUE(Has(result, member)) << member << " in " << result.out;
        }
    }
}

TEST_F(CliEndToEndTest, AnUnknownAccountFailsWithTheMessageAndCode) {
    const ProgramResult result = Cli({"get-rights", "--id-code", "NOBODY"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, kRejected + "service message: Unknown identification code.\n");
    EXPECT_TRUE(Has(result, Member("ok", "false")));
    EXPECT_TRUE(Has(result, Member("code", "503")));
}

TEST_F(CliEndToEndTest, StatesAreReplacedAndReadBack) {
    EXPECT_EQ(Cli({"put-states", "--id-code", "DEMO1001", "--states", "5,6,70"}).exitStatus, 0);
    const ProgramResult states = Cli({"get-states", "--id-code", "DEMO1001"});
    EXPECT_EQ(states.exitStatus, 0) << states.err;
    EXPECT_TRUE(Has(states, Member("stateNo", "\"5,6,70\""))) << states.out;

    const ProgramResult invalid = Cli({"put-states", "--id-code", "DEMO1001", "--states", "5;6"});
    EXPECT_EQ(invalid.exitStatus, 1);
    EXPECT_NE(invalid.err.find("service message: The state list must be comma-delimited numbers"),
              std::string::npos)
        << invalid.err;
}

TEST_F(CliEndToEndTest, ActivityHistoryRoundTripKeepsAwkwardTextIntact) {
    const std::string awkward = "Tom & Jerry <show> \"quoted\" it's";
    const std::string awkwardJson = "\"Tom & Jerry <show> \\\"quoted\\\" it's\"";
    const ProgramResult put = Cli({"put-activity", "--id-code", "DEMO1001", "--activity-text", awkward,
                                   "--ip-address", "10.1.2.3", "--user-agent", awkward, "--mac-address",
                                   "00-11-22-33-44-55", "--workstation-name", awkward, "--user-name", awkward,
                                   "--title-key", awkward, "--upd-source", awkward});
    ASSERT_EQ(put.exitStatus, 0) << put.err;

    const ProgramResult history = Cli({"get-activities", "--id-code", "DEMO1001", "--from", "2000-01-01"});
    ASSERT_EQ(history.exitStatus, 0) << history.err;
    for (const char* field :
         {"activityText", "userAgent", "workstationName", "userName", "titleKey", "updSource"}) {
        EXPECT_TRUE(Has(history, Member(field, awkwardJson))) << field << " in " << history.out;
    }
    EXPECT_TRUE(Has(history, Member("ipAddress", "\"10.1.2.3\"")));
    EXPECT_TRUE(Has(history, Member("message", "\"1 activity found.\""))) << history.out;

    const ProgramResult before = Cli({"get-activities", "--id-code", "DEMO1001", "--from", "2000-01-01", "--to",
                                      "2000-12-31"});
    EXPECT_TRUE(Has(before, Member("activities", "[]"))) << before.out;
}

TEST_F(CliEndToEndTest, ASuspendedAccountIsRefused) {
    const ProgramResult result = Cli({"put-activity", "--id-code", "DEMO2002", "--activity-text", "x"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, kRejected + "service message: The account is suspended.\n");
}

TEST_F(CliEndToEndTest, ALoginRequiredAccountWorksOnlyThroughANamedLogin) {
    const ProgramResult put = Cli({"put-activity", "--id-code", "DEMO3003", "--activity-text", "x"});
    EXPECT_EQ(put.exitStatus, 1);
    EXPECT_NE(put.err.find("service message: This account requires a named login; use qrmLogin."),
              std::string::npos);

    const std::vector<std::string> login = {"login", "--id-code", "DEMO3003", "--login-required",
                                            "--login-username", "analyst", "--activity-text", "Sign in"};
    auto wrong = login;
    wrong.insert(wrong.end(), {"--login-password", "guess"});
    const ProgramResult refused = Cli(wrong);
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_NE(refused.err.find("service message: The login user name or password is not valid."),
              std::string::npos);

    auto right = login;
    right.insert(right.end(), {"--login-password", "orvane-demo"});
    const ProgramResult signedIn = Cli(right);
    EXPECT_EQ(signedIn.exitStatus, 0) << signedIn.err;
    EXPECT_TRUE(Has(signedIn, Member("message", "\"Signed in.\"")));

    const ProgramResult signedOut =
        Cli({"logout", "--id-code", "DEMO3003", "--login-username", "analyst", "--activity-text", "Sign out"});
    EXPECT_EQ(signedOut.exitStatus, 0) << signedOut.err;
    EXPECT_TRUE(Has(signedOut, Member("message", "\"Signed out.\"")));

    EXPECT_EQ(service_->RequestLog().find("orvane-demo"), std::string::npos) << "no password in the log";
    EXPECT_EQ(service_->RequestLog().find("guess"), std::string::npos) << "no password in the log";
}

// A man in the middle that holds a certificate the client trusts still
// cannot change a request: the service checks the signature.
TEST_F(CliEndToEndTest, ARequestAlteredInFlightIsRefused) {
    OrvaneTest::TestCertificates serviceCertificate;
    serviceCertificate.caCertificateFile = service_->CaFile();
    serviceCertificate.certificateFile = service_->DataFolder() + "/server.pem";
    serviceCertificate.privateKeyFile = service_->DataFolder() + "/server-key.pem";
    OrvaneTest::LoopbackHttpServer tamperer(serviceCertificate);
    const int servicePort = service_->HttpPort();
    tamperer.SetResponder([servicePort](const OrvaneTest::RecordedRequest& request) {
        std::string body = request.body;
        const auto at = body.find("DEMO2002");
        if (at != std::string::npos) {
            body.replace(at, 8, "DEMO1001");  // try to act on another account
        }
        httplib::Client upstream("127.0.0.1", servicePort);
        const auto result = upstream.Post(request.target, body, "application/xml");
        OrvaneTest::ScriptedReply reply;
        reply.status = result ? result->status : 502;
        reply.body = result ? result->body : "";
        return reply;
    });

    const ProgramResult result = Cli({"get-rights", "--id-code", "DEMO2002"}, tamperer.Port());
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, kRejected + "service message: The request signature is not valid.\n");
    ASSERT_EQ(tamperer.Requests().size(), 1u) << "the request went through the tampering proxy";
}

TEST_F(CliEndToEndTest, GoesThroughAProxyThatWantsCredentials) {
    OrvaneTest::ForwardProxy proxy(service_->HttpsPort(), OrvaneTest::ForwardProxy::Mode::RequireCredentials,
                                   "proxyuser", "proxypass");
    const std::string proxyAddress = "127.0.0.1:" + std::to_string(proxy.Port());

    const ProgramResult withCredentials = Cli({"get-rights", "--id-code", "DEMO1001", "--proxy", proxyAddress,
                                               "--proxy-user", "proxyuser", "--proxy-password", "proxypass"},
                                              0, false);
    EXPECT_EQ(withCredentials.exitStatus, 0) << withCredentials.err;
    EXPECT_TRUE(Has(withCredentials, Member("subStatus", "\"A\"")));

    const ProgramResult without = Cli({"get-rights", "--id-code", "DEMO1001", "--proxy", proxyAddress}, 0, false);
    EXPECT_EQ(without.exitStatus, 1);
    EXPECT_NE(without.err.find("(code 407)"), std::string::npos) << without.err;
}

TEST_F(CliEndToEndTest, TheServiceSurvivesMalformedAndUnsignedRequests) {
    httplib::Client client("127.0.0.1", service_->HttpPort());
    const std::string rights = "/qrmapps/web/services/qrmGetRights";
    const std::string unsigned_ =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><getrights><source>QRM</source><id_code>DEMO1001</id_code>"
        "</getrights>";
    for (const std::string& body : {std::string("<<<"), unsigned_, unsigned_ + "\nAAAA", std::string(10, '\0'),
                                    std::string(2 * 1024 * 1024, '<')}) {
        client.Post(rights, body, "application/xml");
    }
    ASSERT_TRUE(service_->Running()) << service_->Output();

    const ProgramResult after = Cli({"get-rights", "--id-code", "DEMO1001"});
    EXPECT_EQ(after.exitStatus, 0) << after.err;
    const std::string log = service_->RequestLog();
    EXPECT_NE(log.find("qrmGetRights id_code=- refused: The request is not signed."), std::string::npos) << log;
    EXPECT_NE(log.find("qrmGetRights id_code=- refused: The request signature is not valid."), std::string::npos);
    EXPECT_NE(log.find("qrmGetRights id_code=DEMO1001 accepted"), std::string::npos);
    EXPECT_EQ(service_->Stop(), 0) << "a clean stop on SIGTERM";
}

TEST_F(CliEndToEndTest, TextOutputAndUsageErrors) {
    ProgramResult text = RunProgram(
        ORVANE_CLI_PROGRAM, {"get-states", "--id-code", "DEMO1001", "--url", kDevelopmentRoot},
        {{"ORVANE_CA_BUNDLE", service_->CaFile()},
         {"ORVANE_CONNECT_TO", "qrm-dev.orvane.com:443:127.0.0.1:" + std::to_string(service_->HttpsPort())}});
    EXPECT_EQ(text.exitStatus, 0) << text.err;
    EXPECT_EQ(text.out, "statusCode: 1\nmessage: States found.\nstateNo: 3,7,12\n");

    EXPECT_NE(RunProgram(ORVANE_CLI_PROGRAM, {}).exitStatus, 0) << "a sub-command is required";
    EXPECT_NE(RunProgram(ORVANE_CLI_PROGRAM, {"get-rights"}).exitStatus, 0) << "--id-code is required";
    EXPECT_NE(RunProgram(ORVANE_CLI_PROGRAM, {"get-activities", "--id-code", "X", "--from", "2013-02-30"}).exitStatus,
              0);
    EXPECT_NE(RunProgram(ORVANE_CLI_PROGRAM, {"get-rights", "--id-code", "X", "--proxy", "noport"}).exitStatus, 0);
    const ProgramResult help = RunProgram(ORVANE_CLI_PROGRAM, {"login", "--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("--login-password"), std::string::npos);
}

}  // namespace
