// Defaults and Reset() of the settings, requests and responses.
#include <OrvaneLib/OrvaneLib.h>

#include <gtest/gtest.h>

#include <memory>

using namespace OrvaneLib;

namespace {

const SystemTime kSomeDate{2013, 3, 4, 7, 10, 11, 12, 13};

ActivityFields FilledActivity() {
    return {"text", "10.0.0.1", "agent", "001122334455", "ws", "user", "title", "upd"};
}

void ExpectActivity(const ActivityFields& a) {
    EXPECT_EQ(a.activityText, "text");
    EXPECT_EQ(a.ipAddress, "10.0.0.1");
    EXPECT_EQ(a.userAgent, "agent");
    EXPECT_EQ(a.macAddress, "001122334455");
    EXPECT_EQ(a.workstationName, "ws");
    EXPECT_EQ(a.userName, "user");
    EXPECT_EQ(a.titleKey, "title");
    EXPECT_EQ(a.updSource, "upd");
}

bool IsZero(const SystemTime& t) {
    return t.year == 0 && t.month == 0 && t.dayOfWeek == 0 && t.day == 0 && t.hour == 0 &&
           t.minute == 0 && t.second == 0 && t.milliseconds == 0;
}

}  // namespace

TEST(ConnectionSettings, DefaultsConnectDirectlyToProduction) {
    ConnectionSettings s;
    EXPECT_EQ(s.serviceUrl.rfind("https://", 0), 0u);
    EXPECT_NE(s.serviceUrl.find("/qrmapps/web/services"), std::string::npos);
    EXPECT_EQ(s.userAgent, "ORVANE SDK for QRM");
    EXPECT_EQ(s.proxyServer, "");
    EXPECT_EQ(s.proxyPort, -1);
    EXPECT_EQ(s.proxyUser, "");
    EXPECT_EQ(s.proxyPassword, "");
}

TEST(Requests, EveryNewRequestHasSourceQrmAndNoCode) {
    std::unique_ptr<RequestBase> all[] = {
        std::make_unique<GetRightsRequest>(),  std::make_unique<GetStatesRequest>(),
        std::make_unique<GetActivitiesRequest>(), std::make_unique<PutStatesRequest>(),
        std::make_unique<PutActivityRequest>(), std::make_unique<LoginRequest>(),
        std::make_unique<LogoutRequest>()};
    for (auto& r : all) {
        EXPECT_EQ(r->source, "QRM");
        EXPECT_EQ(r->idCode, "");
        r->source = "KWA";
        r->idCode = "X1";
        r->Reset();  // through the base class
        EXPECT_EQ(r->source, "QRM");
        EXPECT_EQ(r->idCode, "");
    }
    EXPECT_FALSE(LoginRequest{}.loginRequired);
}

TEST(Requests, ResetKeepsTheClassesOwnFields) {
    PutStatesRequest states;
    states.stateList = "1,2";
    states.Reset();
    EXPECT_EQ(states.stateList, "1,2");

    PutActivityRequest put;
    static_cast<ActivityFields&>(put) = FilledActivity();
    put.Reset();
    ExpectActivity(put);

    LoginRequest login;
    static_cast<ActivityFields&>(login) = FilledActivity();
    login.loginUsername = "u";
    login.loginPassword = "p";
    login.loginRequired = true;
    login.Reset();
    ExpectActivity(login);
    EXPECT_EQ(login.loginUsername, "u");
    EXPECT_EQ(login.loginPassword, "p");
    EXPECT_TRUE(login.loginRequired);

    LogoutRequest logout;
    static_cast<ActivityFields&>(logout) = FilledActivity();
    logout.loginUsername = "u";
    logout.Reset();
    ExpectActivity(logout);
    EXPECT_EQ(logout.loginUsername, "u");
}

TEST(Requests, GetActivitiesResetZeroesBothDates) {
    GetActivitiesRequest r;
    EXPECT_TRUE(IsZero(r.dateFrom));
    EXPECT_TRUE(IsZero(r.dateTo));
    r.dateFrom = kSomeDate;
    r.dateTo = kSomeDate;
    r.source = "HOL";
    static_cast<RequestBase&>(r).Reset();
    EXPECT_TRUE(IsZero(r.dateFrom));
    EXPECT_TRUE(IsZero(r.dateTo));
    EXPECT_EQ(r.source, "QRM");
}

TEST(SystemTime, SetOnlyWithYearMonthAndDay) {
    EXPECT_TRUE(IsDateSet(kSomeDate));
    for (auto broken : {SystemTime{0, 3, 0, 7}, SystemTime{2013, 0, 0, 7}, SystemTime{2013, 3, 0, 0}})
        EXPECT_FALSE(IsDateSet(broken));
}

TEST(Responses, ResetClearsEveryField) {
    GetRightsResponse rights;
    rights.message = "m";
    rights.statusCode = 1;
    rights.responseXml = "<x/>";
    rights.subStatus = "A";
    rights.stateNo = "1";
    rights.titleKey = "t";
    rights.maxUsers = 5;
    rights.loginRequired = true;
    static_cast<ResponseBase&>(rights).Reset();
    EXPECT_EQ(rights.message, "");
    EXPECT_EQ(rights.statusCode, 0);
    EXPECT_EQ(rights.responseXml, "");
    EXPECT_EQ(rights.subStatus, "");
    EXPECT_EQ(rights.stateNo, "");
    EXPECT_EQ(rights.titleKey, "");
    EXPECT_EQ(rights.maxUsers, 0);
    EXPECT_FALSE(rights.loginRequired);

    GetStatesResponse states;
    states.stateNo = "1,2";
    states.statusCode = 1;
    states.Reset();
    EXPECT_EQ(states.stateNo, "");
    EXPECT_EQ(states.statusCode, 0);

    GetActivitiesResponse acts;
    acts.activities.resize(3);
    acts.message = "m";
    acts.Reset();
    EXPECT_TRUE(acts.activities.empty());
    EXPECT_EQ(acts.message, "");
}

TEST(Responses, BaseParseReadsNothing) {
    PutStatesResponse r;
    r.statusCode = 7;
    static_cast<ResponseBase&>(r).ResponseBase::Parse("<statuscode>1</statuscode>");
    EXPECT_EQ(r.statusCode, 7);
}

TEST(ActivityRecord, ResetEmptiesAllNineFields) {
    ActivityRecord r{"a", "b", "c", "d", "e", "f", "g", "h", "i"};
    ActivityRecord copy = r;
    EXPECT_EQ(copy.updSource, "i");
    r.Reset();
    for (const std::string* f : {&r.activityText, &r.ipAddress, &r.userAgent, &r.macAddress,
                                 &r.workstationName, &r.userName, &r.titleKey, &r.createDate,
                                 &r.updSource})
        EXPECT_EQ(*f, "");
}

TEST(OrvaneException, CarriesMessageCodeAndEmptyDetail) {
    try {
        throw OrvaneException("Unknown Error", 0);
    } catch (OrvaneException e) {
        EXPECT_EQ(e.message, "Unknown Error");
        EXPECT_EQ(e.code, 0);
        EXPECT_EQ(e.detail, "");
    }
}
