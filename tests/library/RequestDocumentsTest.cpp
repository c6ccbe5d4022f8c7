// The seven request documents, their field writing, default dates and
// signatures, and XmlEscape.
#include <OrvaneLib/RequestDocuments.h>
#include <OrvaneLib/Signing.h>

#include "LocalClock.h"

#include <expat.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <memory>
#include <ostream>
#include <random>
#include <regex>
#include <string>
#include <vector>

namespace {

using namespace OrvaneLib;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

// ---- a fixed "today" for the default upper date ----------------------------

SystemTime fixedToday{2013, 5, 0, 14};
SystemTime FixedToday() { return fixedToday; }

class RequestDocumentsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fixedToday = SystemTime{2013, 5, 0, 14};
        SetLocalDateSource(&FixedToday);
    }
    void TearDown() override { SetLocalDateSource(nullptr); }
};

// ---- building requests with every text field set ---------------------------

// Gives the value of a text field from the name of the element that carries it.
using ValueFor = std::function<std::string(const std::string& element)>;

std::string NamedValue(const std::string& element) { return element + "-v"; }

void FillBase(RequestBase& request, const ValueFor& valueFor) {
    request.source = valueFor("source");
    request.idCode = valueFor("id_code");
}

void FillActivity(ActivityFields& fields, const ValueFor& valueFor) {
    fields.activityText = valueFor("activity_text");
    fields.ipAddress = valueFor("ip_address");
    fields.userAgent = valueFor("user_agent");
    fields.macAddress = valueFor("mac_address");
    fields.workstationName = valueFor("workstation_name");
    fields.userName = valueFor("user_name");
    fields.titleKey = valueFor("title_key");
    fields.updSource = valueFor("upd_source");
}

template <class Request>
RequestParameters Build(const Request& request) {
    RequestParameters parameters;
    BuildRequestParameters(request, parameters);
    return parameters;
}

std::string DocumentOf(const std::string& body) { return body.substr(0, body.rfind('\n')); }

struct Operation {
    std::string action;
    std::function<RequestParameters(const ValueFor&)> build;  // every field set
    std::string document;                                      // with NamedValue
};

const std::string kActivityElements =
    "<activity_text>activity_text-v</activity_text><ip_address>ip_address-v</ip_address>"
    "<user_agent>user_agent-v</user_agent><mac_address>mac_address-v</mac_address>"
    "<workstation_name>workstation_name-v</workstation_name><user_name>user_name-v</user_name>"
    "<title_key>title_key-v</title_key><upd_source>upd_source-v</upd_source>";

std::vector<Operation> Operations() {
    return {
        {"qrmGetRights",
         [](const ValueFor& v) {
             GetRightsRequest r;
             FillBase(r, v);
             return Build(r);
         },
         kDeclaration + "<getrights><source>source-v</source><id_code>id_code-v</id_code></getrights>"},
        {"qrmGetStates",
         [](const ValueFor& v) {
             GetStatesRequest r;
             FillBase(r, v);
             return Build(r);
         },
         kDeclaration + "<getstates><source>source-v</source><id_code>id_code-v</id_code></getstates>"},
        {"qrmGetActivities",
         [](const ValueFor& v) {
             GetActivitiesRequest r;
             FillBase(r, v);
             r.dateFrom = SystemTime{2013, 3, 4, 7, 10, 11, 12, 13};
             r.dateTo = SystemTime{2014, 11, 2, 25, 23, 59, 59, 999};
             return Build(r);
         },
         kDeclaration +
             "<getactivities><source>source-v</source><id_code>id_code-v</id_code>"
             "<date_from>03072013</date_from><date_to>11252014</date_to></getactivities>"},
        {"qrmPutStates",
         [](const ValueFor& v) {
             PutStatesRequest r;
             FillBase(r, v);
             r.stateList = v("state_list");
             return Build(r);
         },
         kDeclaration +
             "<qrmputstates><qrmputstate><source>source-v</source><id_code>id_code-v</id_code>"
             "<state_list>state_list-v</state_list></qrmputstate></qrmputstates>"},
        {"qrmPutActivity",
         [](const ValueFor& v) {
             PutActivityRequest r;
             FillBase(r, v);
             FillActivity(r, v);
             return Build(r);
         },
         kDeclaration + "<activities><activity><source>source-v</source><id_code>id_code-v</id_code>" +
             kActivityElements + "</activity></activities>"},
        {"qrmLogin",
         [](const ValueFor& v) {
             LoginRequest r;
             FillBase(r, v);
             FillActivity(r, v);
             r.loginUsername = v("login_username");
             r.loginPassword = v("login_password");
             r.loginRequired = true;
             return Build(r);
         },
         kDeclaration +
             "<login><source>source-v</source><credentials><login_required>true</login_required>"
             "<login_username><![CDATA[login_username-v]]></login_username>"
             "<login_password><![CDATA[login_password-v]]></login_password></credentials>"
             "<activity><id_code>id_code-v</id_code>" +
             kActivityElements + "</activity></login>"},
        {"qrmLogout",
         [](const ValueFor& v) {
             LogoutRequest r;
             FillBase(r, v);
             FillActivity(r, v);
             r.loginUsername = v("login_username");
             return Build(r);
         },
         kDeclaration + "<logout><source>source-v</source><activity><id_code>id_code-v</id_code>" +
             kActivityElements +
             "<login_username><![CDATA[login_username-v]]></login_username></activity></logout>"},
    };
}

// The body is the document, one line feed and the document's signature.
void ExpectSignedBody(const RequestParameters& parameters, const std::string& action, const std::string& document) {
    ASSERT_EQ(parameters.size(), 2u) << action;
    EXPECT_EQ(parameters.at("Action"), action);
    EXPECT_EQ(parameters.at("HttpRequestString"), document + "\n" + SignDocument(document, SigningKey)) << action;
}

TEST_F(RequestDocumentsTest, EveryOperationWritesItsExactDocument) {
    for (const auto& operation : Operations()) {
        ExpectSignedBody(operation.build(NamedValue), operation.action, operation.document);
    }
}

TEST_F(RequestDocumentsTest, EmptyFieldsKeepBothTags) {
    const std::regex namedValue("[a-z_]+-v");
    for (const auto& operation : Operations()) {
        const std::string expected = std::regex_replace(operation.document, namedValue, "");
        ExpectSignedBody(operation.build([](const std::string&) { return std::string(); }), operation.action,
                         expected);
    }
}

// The signature of the smallest example, from
//   printf '%s' '<?xml ...?><getrights>...</getrights>' |
//     openssl dgst -sha256 -hmac e3d09a51c4f8b27e6a1d5c903fb84e62 -binary | base64
TEST_F(RequestDocumentsTest, GetRightsBodyMatchesAnIndependentSignature) {
    GetRightsRequest request;
    request.idCode = "12345";
    EXPECT_EQ(Build(request).at("HttpRequestString"),
              kDeclaration +
                  "<getrights><source>QRM</source><id_code>12345</id_code></getrights>\n"
                  "Bl1XsvXpkb4V7AqVGda7o/Kd5bMTL0eXdSaqpYt2B6A=");
}

TEST_F(RequestDocumentsTest, BuildingReplacesEarlierEntries) {
    RequestParameters parameters{{"Action", "old"}, {"HttpRequestString", "old body"}};
    GetStatesRequest request;
    BuildRequestParameters(request, parameters);
    const std::string document =
        kDeclaration + "<getstates><source>QRM</source><id_code></id_code></getstates>";
    ExpectSignedBody(parameters, "qrmGetStates", document);
}

// ---- how single fields are written ----------------------------------------

struct FieldCase {
    const char* name;
    std::function<RequestParameters()> build;
    std::string element;  // must appear in the document
};

TEST_F(RequestDocumentsTest, FieldsAreWrittenTheirOwnWay) {
    const FieldCase cases[] = {
        {"quote is escaped twice",
         [] {
             PutActivityRequest r;
             r.userAgent = "a\"b";
             return Build(r);
         },
         "<user_agent>a&amp;quot;b</user_agent>"},
        {"escaped field markup",
         [] {
             PutActivityRequest r;
             r.userAgent = "<a & b>";
             return Build(r);
         },
         "<user_agent>&lt;a &amp; b&gt;</user_agent>"},
        {"apostrophe in an escaped field",
         [] {
             LogoutRequest r;
             r.workstationName = "it's";
             return Build(r);
         },
         "<workstation_name>it&apos;s</workstation_name>"},
        {"plain field keeps quotes and apostrophes",
         [] {
             PutStatesRequest r;
             r.stateList = "\"NY\",'NJ'";
             return Build(r);
         },
         "<state_list>\"NY\",'NJ'</state_list>"},
        {"plain field keeps bytes above 0x7F",
         [] {
             PutActivityRequest r;
             r.ipAddress = "caf\xC3\xA9";
             return Build(r);
         },
         "<ip_address>caf\xC3\xA9</ip_address>"},
        {"plain field markup escaped once",
         [] {
             PutActivityRequest r;
             r.activityText = "a<b & c>d";
             return Build(r);
         },
         "<activity_text>a&lt;b &amp; c&gt;d</activity_text>"},
        {"plain field entity text escaped once",
         [] {
             LoginRequest r;
             r.titleKey = "&amp;";
             return Build(r);
         },
         "<title_key>&amp;amp;</title_key>"},
        {"CDATA keeps markup",
         [] {
             LoginRequest r;
             r.loginPassword = "p<&>]] ]>";
             return Build(r);
         },
         "<login_password><![CDATA[p<&>]] ]>]]></login_password>"},
        {"CDATA end split",
         [] {
             LoginRequest r;
             r.loginPassword = "p]]>w]]>";
             return Build(r);
         },
         "<login_password><![CDATA[p]]]]><![CDATA[>w]]]]><![CDATA[>]]></login_password>"},
        {"NUL ends a plain field",
         [] {
             GetRightsRequest r;
             r.idCode = std::string("12\0<34", 6);
             return Build(r);
         },
         "<id_code>12</id_code>"},
        {"NUL ends an escaped field",
         [] {
             LogoutRequest r;
             r.userName = std::string("a\"\0\"", 4);
             return Build(r);
         },
         "<user_name>a&amp;quot;</user_name>"},
        {"NUL ends a CDATA field",
         [] {
             LogoutRequest r;
             r.loginUsername = std::string("se\0cret", 7);
             return Build(r);
         },
         "<login_username><![CDATA[se]]></login_username>"},
        {"new login is not required",
         [] { return Build(LoginRequest{}); },
         "<login_required>false</login_required>"},
    };
    for (const auto& c : cases) {
        const std::string document = DocumentOf(c.build().at("HttpRequestString"));
        EXPECT_NE(document.find(c.element), std::string::npos) << c.name << "\n" << document;
    }
}

TEST_F(RequestDocumentsTest, ResetRequestsGoOutWithDefaults) {
    LoginRequest login;
    FillBase(login, NamedValue);
    FillActivity(login, NamedValue);
    login.loginPassword = "secret";
    login.Reset();
    const std::string loginDocument = DocumentOf(Build(login).at("HttpRequestString"));
    EXPECT_NE(loginDocument.find("<login><source>QRM</source>"), std::string::npos);
    EXPECT_NE(loginDocument.find("<activity><id_code></id_code><activity_text>activity_text-v</activity_text>"),
              std::string::npos);
    EXPECT_NE(loginDocument.find("<![CDATA[secret]]>"), std::string::npos);

    GetActivitiesRequest query;
    query.dateFrom = SystemTime{2010, 1, 0, 2};
    query.dateTo = SystemTime{2011, 1, 0, 2};
    query.Reset();
    EXPECT_EQ(DocumentOf(Build(query).at("HttpRequestString")),
              kDeclaration +
                  "<getactivities><source>QRM</source><id_code></id_code>"
                  "<date_from>01012000</date_from><date_to>05152013</date_to></getactivities>");
}

// ---- dates -------------------------------------------------------------------

std::string DatesOf(const GetActivitiesRequest& request) {
    const std::string document = DocumentOf(Build(request).at("HttpRequestString"));
    const auto from = document.find("<date_from>");
    const auto end = document.find("</getactivities>");
    return document.substr(from, end - from);
}

std::string Dates(const std::string& from, const std::string& to) {
    return "<date_from>" + from + "</date_from><date_to>" + to + "</date_to>";
}

TEST_F(RequestDocumentsTest, UnsetUpperDateIsTomorrowOnTheLocalClock) {
    const struct {
        SystemTime today;
        const char* tomorrow;
    } cases[] = {
        {{2013, 6, 0, 15}, "06162013"},  {{2013, 1, 0, 31}, "02012013"},  {{2013, 4, 0, 30}, "05012013"},
        {{2013, 12, 0, 31}, "01012014"}, {{2012, 2, 0, 28}, "02292012"},  {{2012, 2, 0, 29}, "03012012"},
        {{2013, 2, 0, 28}, "03012013"},  {{1900, 2, 0, 28}, "03011900"},  {{2000, 2, 0, 28}, "02292000"},
        {{2000, 2, 0, 29}, "03012000"},  {{2100, 2, 0, 28}, "03012100"},  {{2013, 9, 0, 30}, "10012013"},
    };
    for (const auto& c : cases) {
        fixedToday = c.today;
        EXPECT_EQ(DatesOf(GetActivitiesRequest{}), Dates("01012000", c.tomorrow))
            << c.today.year << "-" << c.today.month << "-" << c.today.day;
    }
}

TEST_F(RequestDocumentsTest, DateIsSetOnlyWithYearMonthAndDay) {
    const struct {
        SystemTime date;
        const char* from;  // text as date_from
        const char* to;    // text as date_to
    } cases[] = {
        {{2013, 3, 0, 7}, "03072013", "03072013"},
        {{5, 1, 0, 2}, "01020005", "01020005"},
        {{0, 3, 0, 7}, "01012000", "05152013"},
        {{2013, 0, 0, 7}, "01012000", "05152013"},
        {{2013, 3, 5, 0, 10, 20, 30, 40}, "01012000", "05152013"},
    };
    for (const auto& c : cases) {
        GetActivitiesRequest request;
        request.dateFrom = c.date;
        request.dateTo = c.date;
        EXPECT_EQ(DatesOf(request), Dates(c.from, c.to)) << c.from << " " << c.to;
    }
}

TEST(LocalClockTest, MachineClockGivesTodaysLocalDate) {
    SetLocalDateSource(nullptr);
    // Read the C library's local date on both sides, in case midnight passes.
    const auto localDate = [] {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return std::vector<int>{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_wday};
    };
    const std::vector<int> before = localDate();
    const SystemTime today = LocalDateToday();
    const std::vector<int> after = localDate();
    const std::vector<int> got{today.year, today.month, today.day, today.dayOfWeek};
    EXPECT_TRUE(got == before || got == after);
}

// ---- hostile values cannot change the document's structure ----------------

struct Element {
    std::string path;  // e.g. "login/credentials/login_password"
    std::string text;  // the element's own character data
    bool operator==(const Element& other) const { return path == other.path && text == other.text; }
};

void PrintTo(const Element& element, std::ostream* out) { *out << element.path << "=[" << element.text << "]"; }

struct ParseState {
    XML_Parser parser = nullptr;
    std::vector<Element> elements;
    std::vector<std::size_t> open;
    bool failed = false;
};

// Expat calls these from C: no exception may leave them.
void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** /*attributes*/) {
    auto& state = *static_cast<ParseState*>(data);
    try {
        const std::string parent = state.open.empty() ? "" : state.elements[state.open.back()].path + "/";
        state.elements.push_back({parent + name, ""});
        state.open.push_back(state.elements.size() - 1);
    } catch (...) {
        state.failed = true;
        XML_StopParser(state.parser, XML_FALSE);
    }
}

void XMLCALL OnEnd(void* data, const XML_Char* /*name*/) { static_cast<ParseState*>(data)->open.pop_back(); }

void XMLCALL OnText(void* data, const XML_Char* text, int length) {
    auto& state = *static_cast<ParseState*>(data);
    try {
        if (!state.open.empty()) {
            state.elements[state.open.back()].text.append(text, static_cast<std::size_t>(length));
        }
    } catch (...) {
        state.failed = true;
        XML_StopParser(state.parser, XML_FALSE);
    }
}

// Every element of a well-formed document, in document order.
std::vector<Element> ParseElements(const std::string& document) {
    std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(XML_ParserCreate(nullptr), &XML_ParserFree);
    ParseState state;
    state.parser = parser.get();
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    const auto status = XML_Parse(parser.get(), document.data(), static_cast<int>(document.size()), XML_TRUE);
    if (status != XML_STATUS_OK || state.failed) {
        ADD_FAILURE() << "not well-formed: " << XML_ErrorString(XML_GetErrorCode(parser.get())) << "\n"
                      << document;
    }
    return state.elements;
}

// Tries to close the element early, open a forged one, and end a CDATA section.
std::string HostileValue(const std::string& element) {
    return element + "-v & <b>x</b> ]]> </" + element + "><" + element + ">evil</" + element + "><x a='1'/>";
}

TEST_F(RequestDocumentsTest, HostileValuesReadBackAsThemselves) {
    const std::regex namedValue("([a-z_]+)-v");
    for (const auto& operation : Operations()) {
        const auto parse = [&](const ValueFor& valueFor) {
            return ParseElements(DocumentOf(operation.build(valueFor).at("HttpRequestString")));
        };
        const std::vector<Element> reference = parse(NamedValue);
        const std::vector<Element> hostile = parse(HostileValue);

        // Same elements in the same places; every text field reads back whole.
        std::vector<Element> expected = reference;
        for (auto& element : expected) {
            std::smatch match;
            if (std::regex_match(element.text, match, namedValue)) {
                element.text = HostileValue(match[1]);
            }
        }
        EXPECT_EQ(hostile, expected) << operation.action;
    }
}

TEST_F(RequestDocumentsTest, QuoteInEscapedFieldReadsBackAsEntityText) {
    // The service undoes the second level itself; a parser sees &quot; as text.
    PutActivityRequest request;
    request.userAgent = "say \"hi\" & <go>";
    const auto elements = ParseElements(DocumentOf(Build(request).at("HttpRequestString")));
    const Element userAgent{"activities/activity/user_agent", "say &quot;hi&quot; & <go>"};
    EXPECT_NE(std::find(elements.begin(), elements.end(), userAgent), elements.end());
}

// ---- XmlEscape ---------------------------------------------------------------

// The five passes in their order, each resuming after its own entity.
std::string FivePassEscape(std::string text) {
    const std::pair<char, std::string> passes[] = {
        {'"', "&quot;"}, {'&', "&amp;"}, {'\'', "&apos;"}, {'<', "&lt;"}, {'>', "&gt;"},
    };
    for (const auto& [character, entity] : passes) {
        for (auto at = text.find(character); at != std::string::npos; at = text.find(character, at + entity.size())) {
            text.replace(at, 1, entity);
        }
    }
    return text;
}

std::string Escaped(std::string text) {
    XmlEscape(text);
    return text;
}

TEST(XmlEscapeTest, KnownTexts) {
    const struct {
        std::string text;
        std::string escaped;
    } cases[] = {
        {"", ""},
        {"plain text", "plain text"},
        {"a\"b", "a&amp;quot;b"},
        {"<a & b>", "&lt;a &amp; b&gt;"},
        {"it's", "it&apos;s"},
        {"&quot;", "&amp;quot;"},
        {"\"&'<>", "&amp;quot;&amp;&apos;&lt;&gt;"},
        {std::string("a\0<", 3), std::string("a\0&lt;", 6)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Escaped(c.text), c.escaped) << c.text;
    }
}

TEST(XmlEscapeTest, MatchesFiveSequentialPassesOnRandomTexts) {
    const char alphabet[] = {'"', '&', '\'', '<', '>', 'a', 'q', 'u', 'o', 't', ';', '#', '\0', '\xFF'};
    std::mt19937 random(20130307);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 1);
    std::uniform_int_distribution<int> length(0, 48);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (int i = length(random); i > 0; --i) {
            text += alphabet[pick(random)];
        }
        ASSERT_EQ(Escaped(text), FivePassEscape(text)) << "round " << round;
    }
}

}  // namespace
