#include "DemoAccounts.h"
#include "ReferenceService.h"
#include "ServiceTestSupport.h"
#include "SqliteDatabase.h"

#include "TemporaryDirectory.h"

#include <OrvaneLib/Responses.h>

#include <gtest/gtest.h>

#include <memory>

using namespace OrvaneRefService;
using OrvaneRefServiceTest::Signed;
using OrvaneRefServiceTest::SignedBodyOf;

namespace {

class ReferenceServiceTest : public testing::Test {
protected:
    std::string DatabasePath() const { return folder_.Path() + "/service.db"; }

    // Posts the library's body for the request and parses the reply with the
    // library's own handler for the action.
    template <typename Response, typename Request>
    Response Call(const char* action, const Request& request) {
        last_ = service_.Handle(action, SignedBodyOf(request));
        Response response;
        response.Parse(last_.document);
        return response;
    }

    // Any reply carries statuscode and message; this reads just those.
    OrvaneLib::PutStatesResponse Status(const char* action, const std::string& body) {
        last_ = service_.Handle(action, body);
        OrvaneLib::PutStatesResponse response;
        response.Parse(last_.document);
        return response;
    }

    template <typename Request>
    static Request For(const std::string& idCode) {
        Request request;
        request.idCode = idCode;
        return request;
    }

    static OrvaneLib::GetActivitiesRequest Between(const std::string& idCode, OrvaneLib::SystemTime from,
                                                   OrvaneLib::SystemTime to) {
        auto request = For<OrvaneLib::GetActivitiesRequest>(idCode);
        request.dateFrom = from;
        request.dateTo = to;
        return request;
    }

    static OrvaneLib::LoginRequest LoginAs(const std::string& idCode, const std::string& user,
                                           const std::string& password = {}) {
        auto request = For<OrvaneLib::LoginRequest>(idCode);
        request.loginUsername = user;
        request.loginPassword = password;
        return request;
    }

    static OrvaneLib::LogoutRequest LogoutAs(const std::string& idCode, const std::string& user) {
        auto request = For<OrvaneLib::LogoutRequest>(idCode);
        request.loginUsername = user;
        return request;
    }

    OrvaneTest::TemporaryDirectory folder_;
    OrvaneRefServiceTest::FixedClock clock_;
    ServiceStore store_{DatabasePath()};
    ReferenceService service_{store_, clock_.Clock()};
    ServiceReply last_;
};

constexpr OrvaneLib::SystemTime kMarch7{2013, 3, 0, 7};
constexpr OrvaneLib::SystemTime kMarch8{2013, 3, 0, 8};

TEST_F(ReferenceServiceTest, GetRightsTellsTheStandingOfEachAccount) {
    const struct {
        const char* idCode;
        const char* subStatus;
        bool loginRequired;
        const char* titleKey;
        int maxUsers;
        const char* states;
    } cases[] = {
        {Demo::kActiveAccount, "A", false, "ORV-STANDARD", 5, "3,7,12"},
        {Demo::kSuspendedAccount, "S", false, "ORV-STANDARD", 1, ""},
        {Demo::kLoginRequiredAccount, "A", true, "ORV-ENTERPRISE", 2, "1,2"},
        {Demo::kDashedAccount, "A", false, "ORV-KIOSK", 1, "21"},
    };
    for (const auto& c : cases) {
        const auto rights = Call<OrvaneLib::GetRightsResponse>("qrmGetRights", For<OrvaneLib::GetRightsRequest>(c.idCode));
        EXPECT_EQ(rights.statusCode, 1) << c.idCode;
        EXPECT_EQ(rights.subStatus, c.subStatus) << c.idCode;
        EXPECT_EQ(rights.loginRequired, c.loginRequired) << c.idCode;
        EXPECT_EQ(rights.titleKey, c.titleKey) << c.idCode;
        EXPECT_EQ(rights.maxUsers, c.maxUsers) << c.idCode;
        EXPECT_EQ(rights.stateNo, c.states) << c.idCode;
    }
    const auto unknown = Call<OrvaneLib::GetRightsResponse>("qrmGetRights", For<OrvaneLib::GetRightsRequest>("NOPE"));
    EXPECT_EQ(unknown.statusCode, 0);
    EXPECT_EQ(unknown.message, "Unknown identification code.");
    EXPECT_EQ(last_.idCode, "NOPE");
}

TEST_F(ReferenceServiceTest, SuspendedAndUnknownAccountsCanDoNothingElse) {
    for (const std::string idCode : {Demo::kSuspendedAccount, "NOPE"}) {
        const std::string expected =
            idCode == Demo::kSuspendedAccount ? "The account is suspended." : "Unknown identification code.";
        const struct {
            const char* action;
            std::string body;
        } calls[] = {
            {"qrmGetStates", SignedBodyOf(For<OrvaneLib::GetStatesRequest>(idCode))},
            {"qrmPutStates", SignedBodyOf(For<OrvaneLib::PutStatesRequest>(idCode))},
            {"qrmGetActivities", SignedBodyOf(Between(idCode, kMarch7, kMarch8))},
            {"qrmPutActivity", SignedBodyOf(For<OrvaneLib::PutActivityRequest>(idCode))},
            {"qrmLogin", SignedBodyOf(LoginAs(idCode, "ann"))},
            {"qrmLogout", SignedBodyOf(LogoutAs(idCode, "ann"))},
        };
        for (const auto& call : calls) {
            const auto reply = Status(call.action, call.body);
            EXPECT_EQ(reply.statusCode, 0) << call.action << " " << idCode;
            EXPECT_EQ(reply.message, expected) << call.action << " " << idCode;
        }
    }
}

TEST_F(ReferenceServiceTest, PutStatesReplacesTheListThatGetStatesReturns) {
    auto put = For<OrvaneLib::PutStatesRequest>(Demo::kActiveAccount);
    put.stateList = "4,40,400";
    EXPECT_EQ(Call<OrvaneLib::PutStatesResponse>("qrmPutStates", put).statusCode, 1);
    const auto states = Call<OrvaneLib::GetStatesResponse>("qrmGetStates", For<OrvaneLib::GetStatesRequest>(Demo::kActiveAccount));
    EXPECT_EQ(states.statusCode, 1);
    EXPECT_EQ(states.stateNo, "4,40,400");

    // An empty list is answered as NULL, which the library reads as "no list".
    put.stateList = "";
    EXPECT_EQ(Call<OrvaneLib::PutStatesResponse>("qrmPutStates", put).statusCode, 1);
    auto cleared = Call<OrvaneLib::GetStatesResponse>("qrmGetStates", For<OrvaneLib::GetStatesRequest>(Demo::kActiveAccount));
    EXPECT_EQ(cleared.statusCode, 1);
    EXPECT_EQ(cleared.stateNo, "");
}

TEST_F(ReferenceServiceTest, PutStatesRefusesAnythingButCommaDelimitedNumbers) {
    for (const char* list : {"1,,2", "1,", ",1", "a", "1, 2", "1;2", "-1", "1.5"}) {
        auto put = For<OrvaneLib::PutStatesRequest>(Demo::kActiveAccount);
        put.stateList = list;
        const auto reply = Call<OrvaneLib::PutStatesResponse>("qrmPutStates", put);
        EXPECT_EQ(reply.statusCode, 0) << list;
        EXPECT_EQ(reply.message, "The state list must be comma-delimited numbers, such as 3,7,12.") << list;
    }
    EXPECT_EQ(store_.FindAccount(Demo::kActiveAccount)->stateList, "3,7,12") << "a refused list changes nothing";
}

TEST_F(ReferenceServiceTest, ActivityHistoryComesBackIntactAndInOrder) {
    const std::string awkward = "a & b < c > d \" e ' f ]]> Zo\xC3\xAB";
    auto first = For<OrvaneLib::PutActivityRequest>(Demo::kActiveAccount);
    first.activityText = "opened " + awkward;
    first.ipAddress = "10.0.0.7";
    first.userAgent = "agent " + awkward;
    first.macAddress = "00-11-22-33-44-55";
    first.workstationName = "station " + awkward;
    first.userName = "user " + awkward;
    first.titleKey = "title " + awkward;
    first.updSource = "source " + awkward;
    EXPECT_EQ(Call<OrvaneLib::PutActivityResponse>("qrmPutActivity", first).statusCode, 1);

    clock_.now = {2013, 3, 8, 17, 5, 9};
    auto second = For<OrvaneLib::PutActivityRequest>(Demo::kActiveAccount);
    second.activityText = "closed";
    EXPECT_EQ(Call<OrvaneLib::PutActivityResponse>("qrmPutActivity", second).statusCode, 1);

    clock_.now = {2013, 3, 9, 0, 0, 0};
    EXPECT_EQ(Call<OrvaneLib::PutActivityResponse>("qrmPutActivity", second).statusCode, 1);

    const auto history =
        Call<OrvaneLib::GetActivitiesResponse>("qrmGetActivities", Between(Demo::kActiveAccount, kMarch7, kMarch8));
    EXPECT_EQ(history.statusCode, 1);
    EXPECT_EQ(history.message, "2 activities found.");
    ASSERT_EQ(history.activities.size(), 2u);
    const OrvaneLib::ActivityRecord& record = history.activities.front();
    EXPECT_EQ(record.activityText, first.activityText);
    EXPECT_EQ(record.ipAddress, first.ipAddress);
    EXPECT_EQ(record.userAgent, first.userAgent);
    EXPECT_EQ(record.macAddress, first.macAddress);
    EXPECT_EQ(record.workstationName, first.workstationName);
    EXPECT_EQ(record.userName, first.userName);
    EXPECT_EQ(record.titleKey, first.titleKey);
    EXPECT_EQ(record.updSource, first.updSource);
    EXPECT_EQ(record.createDate, "03-07-2013 09:30:00");
    EXPECT_EQ(history.activities.back().activityText, "closed");
    EXPECT_EQ(history.activities.back().createDate, "03-08-2013 17:05:09");

    const auto otherAccount =
        Call<OrvaneLib::GetActivitiesResponse>("qrmGetActivities", Between(Demo::kDashedAccount, kMarch7, kMarch8));
    EXPECT_EQ(otherAccount.statusCode, 1);
    EXPECT_TRUE(otherAccount.activities.empty());
}

TEST_F(ReferenceServiceTest, GetActivitiesRefusesDatesItCannotUse) {
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><getactivities><source>QRM</source><id_code>" +
                             std::string(Demo::kActiveAccount) + "</id_code>";
    const struct {
        const char* from;
        const char* to;
        const char* message;
    } cases[] = {
        {"2013-03-07", "03082013", "The date_from is not a date of the form MMDDYYYY."},
        {"03072013", "02302013", "The date_to is not a date of the form MMDDYYYY."},
        {"13012013", "03082013", "The date_from is not a date of the form MMDDYYYY."},
        {"03082013", "03072013", "The date_from is later than the date_to."},
        {"", "03072013", "The date_from is not a date of the form MMDDYYYY."},
    };
    for (const auto& c : cases) {
        const auto reply = Status("qrmGetActivities", Signed(head + "<date_from>" + c.from + "</date_from><date_to>" +
                                                             c.to + "</date_to></getactivities>"));
        EXPECT_EQ(reply.statusCode, 0) << c.from << " " << c.to;
        EXPECT_EQ(reply.message, c.message) << c.from << " " << c.to;
    }
    EXPECT_EQ(Status("qrmGetActivities", Signed(head + "<date_from>02292012</date_from><date_to>02292012</date_to>"
                                                       "</getactivities>"))
                  .statusCode,
              1)
        << "29 February of a leap year is a date";
}

TEST_F(ReferenceServiceTest, AnAccountThatNeedsANamedLoginCannotPutActivities) {
    const auto reply = Call<OrvaneLib::PutActivityResponse>(
        "qrmPutActivity", For<OrvaneLib::PutActivityRequest>(Demo::kLoginRequiredAccount));
    EXPECT_EQ(reply.statusCode, 0);
    EXPECT_EQ(reply.message, "This account requires a named login; use qrmLogin.");
}

TEST_F(ReferenceServiceTest, NamedLoginChecksThePassword) {
    const struct {
        const char* user;
        const char* password;
        int statusCode;
        const char* message;
    } cases[] = {
        {Demo::kLoginUser, "wrong", 0, "The login user name or password is not valid."},
        {"intruder", Demo::kLoginPassword, 0, "The login user name or password is not valid."},
        {"", "", 0, "A login user name is required."},
        {Demo::kLoginUser, Demo::kLoginPassword, 1, "Signed in."},
    };
    for (const auto& c : cases) {
        const auto reply =
            Call<OrvaneLib::LoginResponse>("qrmLogin", LoginAs(Demo::kLoginRequiredAccount, c.user, c.password));
        EXPECT_EQ(reply.statusCode, c.statusCode) << c.user << "/" << c.password;
        EXPECT_EQ(reply.message, c.message) << c.user << "/" << c.password;
    }
}

TEST_F(ReferenceServiceTest, LoginAndLogoutKeepTrackOfSeatsAndHistory) {
    // The dashed account has one seat and needs no password.
    const std::string account = Demo::kDashedAccount;
    EXPECT_EQ(Call<OrvaneLib::LoginResponse>("qrmLogin", LoginAs(account, "ann")).statusCode, 1);
    const auto full = Call<OrvaneLib::LoginResponse>("qrmLogin", LoginAs(account, "bob"));
    EXPECT_EQ(full.statusCode, 0);
    EXPECT_EQ(full.message, "All 1 seats of the account are in use.");

    EXPECT_EQ(Call<OrvaneLib::LogoutResponse>("qrmLogout", LogoutAs(account, "ann")).statusCode, 1);
    const auto again = Call<OrvaneLib::LogoutResponse>("qrmLogout", LogoutAs(account, "ann"));
    EXPECT_EQ(again.statusCode, 0);
    EXPECT_EQ(again.message, "That user is not signed in.");
    EXPECT_EQ(Call<OrvaneLib::LoginResponse>("qrmLogin", LoginAs(account, "bob")).statusCode, 1);

    const auto history =
        Call<OrvaneLib::GetActivitiesResponse>("qrmGetActivities", Between(account, kMarch7, kMarch7));
    EXPECT_EQ(history.activities.size(), 3u) << "every accepted login and logout is recorded";
}

TEST_F(ReferenceServiceTest, RefusesRequestsItCannotTrust) {
    const std::string rights = SignedBodyOf(For<OrvaneLib::GetRightsRequest>(Demo::kActiveAccount));
    std::string tampered = rights;
    tampered.replace(tampered.find(Demo::kActiveAccount), 8, Demo::kDashedAccount, 8);
    const std::string document = rights.substr(0, rights.rfind('\n'));

    const struct {
        const char* name;
        const char* action;
        std::string body;
        const char* message;
    } cases[] = {
        {"unsigned", "qrmGetRights", document, "The request is not signed."},
        {"tampered in flight", "qrmGetRights", tampered, "The request signature is not valid."},
        {"signed garbage", "qrmGetRights", Signed("not xml at all"), "The request document is not well-formed"},
        {"other action's document", "qrmGetStates", rights, "The request document is not a getstates document."},
        {"unknown action", "qrmDeleteEverything", rights, "Unknown action."},
        {"no id_code", "qrmGetRights", Signed("<getrights><source>QRM</source></getrights>"),
         "The request carries no identification code."},
        {"binary", "qrmGetRights", Signed(std::string("\0\xff\xfe<", 4)), "The request document is not well-formed"},
    };
    for (const auto& c : cases) {
        const auto reply = Status(c.action, c.body);
        EXPECT_EQ(last_.httpStatus, 200) << c.name;
        EXPECT_FALSE(last_.accepted) << c.name;
        EXPECT_EQ(reply.statusCode, 0) << c.name;
        EXPECT_EQ(reply.message.rfind(c.message, 0), 0u) << c.name << ": " << reply.message;
    }
}

TEST_F(ReferenceServiceTest, AStoreFailureIsAnInternalErrorNotASuccess) {
    SqliteDatabase(DatabasePath()).Execute("DROP TABLE activities");
    const auto reply = Call<OrvaneLib::PutActivityResponse>(
        "qrmPutActivity", For<OrvaneLib::PutActivityRequest>(Demo::kActiveAccount));
    EXPECT_EQ(last_.httpStatus, 500);
    EXPECT_EQ(reply.statusCode, 0);
    EXPECT_EQ(reply.message, "The service could not complete the request.");
    EXPECT_NE(last_.outcome.find("activities"), std::string::npos) << "the log keeps the cause: " << last_.outcome;
}

}  // namespace
