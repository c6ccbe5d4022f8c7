#include "RequestDocument.h"
#include "ServiceTestSupport.h"

#include <gtest/gtest.h>

#include <map>

using namespace OrvaneRefService;
using OrvaneRefServiceTest::DocumentOf;

namespace {

// Every character that the library escapes one way or another, and some UTF-8.
const std::string kAwkward = "a & b < c > d \" e ' f ]]> Zo\xC3\xAB";

void FillActivity(OrvaneLib::ActivityFields& fields) {
    fields.activityText = "text " + kAwkward;
    fields.ipAddress = "10.0.0.1";
    fields.userAgent = "agent " + kAwkward;
    fields.macAddress = "00-11-22-33-44-55";
    fields.workstationName = "station " + kAwkward;
    fields.userName = "user " + kAwkward;
    fields.titleKey = "title " + kAwkward;
    fields.updSource = "source " + kAwkward;
}

std::map<std::string, std::string> ActivityFieldsOf(const OrvaneLib::ActivityFields& fields) {
    return {{"activity_text", fields.activityText}, {"ip_address", fields.ipAddress},
            {"user_agent", fields.userAgent},       {"mac_address", fields.macAddress},
            {"workstation_name", fields.workstationName}, {"user_name", fields.userName},
            {"title_key", fields.titleKey},         {"upd_source", fields.updSource}};
}

TEST(RequestDocument, ReadsEveryFieldTheLibraryWrites) {
    OrvaneLib::PutActivityRequest putActivity;
    putActivity.source = "KWA";
    putActivity.idCode = "KW-4004-17";
    FillActivity(putActivity);
    auto putActivityFields = ActivityFieldsOf(putActivity);
    putActivityFields["source"] = "KWA";
    putActivityFields["id_code"] = "KW-4004-17";

    OrvaneLib::LoginRequest login;
    login.idCode = "DEMO3003";
    FillActivity(login);
    login.loginUsername = "name " + kAwkward;
    login.loginPassword = "secret " + kAwkward;
    login.loginRequired = true;
    auto loginFields = ActivityFieldsOf(login);
    loginFields.insert({{"source", "QRM"}, {"id_code", "DEMO3003"}, {"login_required", "true"},
                        {"login_username", login.loginUsername}, {"login_password", login.loginPassword}});

    OrvaneLib::LogoutRequest logout;
    logout.idCode = "DEMO3003";
    FillActivity(logout);
    logout.loginUsername = "name " + kAwkward;
    auto logoutFields = ActivityFieldsOf(logout);
    logoutFields.insert({{"source", "QRM"}, {"id_code", "DEMO3003"}, {"login_username", logout.loginUsername}});

    OrvaneLib::PutStatesRequest putStates;
    putStates.idCode = "DEMO1001";
    putStates.stateList = "1,2,3";

    OrvaneLib::GetActivitiesRequest getActivities;
    getActivities.idCode = "DEMO1001";
    getActivities.dateFrom = {2013, 3, 0, 7};
    getActivities.dateTo = {2014, 12, 0, 31};

    OrvaneLib::GetRightsRequest getRights;
    getRights.idCode = "DEMO1001";

    const struct {
        std::string document;
        std::string root;
        std::map<std::string, std::string> fields;
    } cases[] = {
        {DocumentOf(getRights), "getrights", {{"source", "QRM"}, {"id_code", "DEMO1001"}}},
        {DocumentOf(putStates), "qrmputstates", {{"source", "QRM"}, {"id_code", "DEMO1001"}, {"state_list", "1,2,3"}}},
        {DocumentOf(getActivities),
         "getactivities",
         {{"source", "QRM"}, {"id_code", "DEMO1001"}, {"date_from", "03072013"}, {"date_to", "12312014"}}},
        {DocumentOf(putActivity), "activities", putActivityFields},
        {DocumentOf(login), "login", loginFields},
        {DocumentOf(logout), "logout", logoutFields},
    };
    for (const auto& c : cases) {
        const RequestDocument parsed = ParseRequestDocument(c.document);
        EXPECT_EQ(parsed.root, c.root);
        EXPECT_EQ(parsed.fields, c.fields) << c.document;
    }
}

TEST(RequestDocument, AnAbsentFieldReadsEmpty) {
    const RequestDocument parsed = ParseRequestDocument("<getrights><source>QRM</source></getrights>");
    EXPECT_FALSE(parsed.Has("id_code"));
    EXPECT_EQ(parsed.Field("id_code"), "");
    EXPECT_TRUE(parsed.Has("source"));
}

std::string OpenElements(int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) {
        text += "<a>";
    }
    return text;
}

TEST(RequestDocument, RefusesDocumentsItCannotRead) {
    const struct {
        const char* name;
        std::string document;
        const char* messagePart;
    } cases[] = {
        {"empty", "", "not well-formed"},
        {"cut off", "<getrights><source>QR", "not well-formed"},
        {"not XML", "hello", "not well-formed"},
        {"text after the root", "<getrights/>trailing", "not well-formed"},
        {"invalid character reference", "<getrights><id_code>&#1;</id_code></getrights>", "not well-formed"},
        {"undeclared entity", "<getrights><id_code>&bogus;</id_code></getrights>", "not well-formed"},
        {"field twice", "<getrights><id_code>A</id_code><id_code>B</id_code></getrights>", "more than once"},
        {"entity expansion",
         "<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
         "<getrights><id_code>&b;&b;&b;</id_code></getrights>",
         "DOCTYPE"},
        {"external entity",
         "<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><getrights><id_code>&x;</id_code></getrights>",
         "DOCTYPE"},
        {"deep nesting", OpenElements(40), "nested too deeply"},
    };
    for (const auto& c : cases) {
        try {
            ParseRequestDocument(c.document);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const RequestDocumentError& error) {
            EXPECT_NE(std::string(error.what()).find(c.messagePart), std::string::npos)
                << c.name << ": " << error.what();
        }
    }
}

}  // namespace
