// Reply documents -> response fields: what every reply handler reads
// (statuscode, message), the GetRights and GetStates replies, parse failures
// and entity expansion attacks.
#include <OrvaneLib/OrvaneException.h>
#include <OrvaneLib/Responses.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

using namespace OrvaneLib;

namespace {

const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

// Parses and reports whether the reply failed as a document that does not
// parse ("Unknown Error", 0); any other exception fails the test.
bool ParseFails(ResponseBase& response, const std::string& reply) {
    try {
        response.Parse(reply);
        return false;
    } catch (const OrvaneException& e) {
        EXPECT_EQ(e.message, "Unknown Error");
        EXPECT_EQ(e.code, 0);
        EXPECT_EQ(e.detail, "");
        return true;
    }
}

// statuscode and message, which all seven handlers read alike. The response
// starts with status -1 and message "before", so untouched fields show.
struct StatusCase {
    const char* name;
    std::string reply;
    std::int32_t statusCode;
    std::string message;
    bool fails = false;
};

const StatusCase kStatusCases[] = {
    {"plain", std::string(kDeclaration) + "<reply><statuscode>1</statuscode><message>OK</message></reply>", 1,
     "OK"},
    {"names in other cases", "<Reply><STATUSCODE>1</STATUSCODE><Message>Hi</Message></Reply>", 1, "Hi"},
    {"root name is not checked, any depth", "<a><b><c><statuscode>3</statuscode></c></b></a>", 3, "before"},
    {"nothing recognised", "<reply><status>1</status></reply>", -1, "before"},
    {"text in several runs", "<r><message>a &amp; b &lt;c&gt; &#65;&#x42;</message></r>", -1, "a & b <c> AB"},
    {"message decoded a second time", "<r><message>a &amp;lt; b &amp;amp;amp; c</message></r>", -1,
     "a < b &amp; c"},
    {"double-encoded ampersand", "<r><message>x &amp;amp; y</message></r>", -1, "x & y"},
    {"triple-encoded ampersand", "<r><message>x &amp;amp;amp; y</message></r>", -1, "x &amp; y"},
    {"CDATA", "<r><message>a<![CDATA[<b> & c]]>d<![CDATA[&quot;]]></message></r>", -1, "a<b> & cd\""},
    {"line breaks and spaces kept", "<r><message>\n  two\r\n lines \n</message><statuscode> 1 </statuscode></r>", 1,
     "\n  two\n lines \n"},
    {"empty message", "<r><message></message><statuscode/></r>", 0, ""},
    {"attributes ignored", "<r statuscode=\"5\"><statuscode unit=\"x\">7</statuscode><message lang=\"en\">m</message></r>",
     7, "m"},
    {"comments and processing instructions",
     "<?pi before?><r><!-- c --><?pi x?><statuscode>1<!-- 2 --></statuscode><message>a<?pi y?>b<!--z-->c</message></r>",
     1, "abc"},
    {"unrecognised elements inside", "<r><statuscode><b>4</b>2</statuscode><message>a<i>b</i>c</message></r>", 42,
     "abc"},
    {"text outside recognised elements dropped", "<r>x<statuscode>1</statuscode>y<message>m</message>z</r>", 1, "m"},
    // The text is emptied only by recognised start tags, so text after a
    // closed inner element is gathered behind the inner element's text.
    {"recognised element inside another", "<r><message>a<statuscode>1</statuscode>b</message></r>", 1, "1b"},
    {"status is not a number", "<r><statuscode>abc</statuscode></r>", 0, "before"},
    {"status with trailing text", "<r><statuscode> 25 users</statuscode></r>", 25, "before"},
    {"status beyond 32 bits", "<r><statuscode>99999999999</statuscode></r>", std::numeric_limits<std::int32_t>::max(),
     "before"},
    {"internal entity", "<!DOCTYPE r [<!ENTITY who \"world\">]><r><message>hello &who;</message></r>", -1,
     "hello world"},
    {"external entity not fetched",
     "<!DOCTYPE r SYSTEM \"http://example.invalid/r.dtd\" [<!ENTITY ext SYSTEM \"file:///etc/hostname\">]>"
     "<r><message>a&ext;b</message><statuscode>1</statuscode></r>",
     1, "ab"},
    // Failures keep what was stored before the error.
    {"empty reply", "", -1, "before", true},
    {"cut off in a text", "<r><statuscode>1</statuscode><message>cut", 1, "before", true},
    {"cut off in a tag", "<r><statuscode>1</statuscode><mess", 1, "before", true},
    {"NUL byte", std::string("<r><statuscode>2</statuscode>") + '\0' + "<message>m</message></r>", 2, "before", true},
    {"text after the root", "<r><statuscode>1</statuscode></r>trailing", 1, "before", true},
    {"mismatched end tag", "<r><message>m</message><statuscode>1</STATUSCODE></r>", -1, "m", true},
    {"not XML", "Service Temporarily Unavailable", -1, "before", true},
};

template <typename Response>
class EveryReplyHandler : public testing::Test {};

using AllResponses = testing::Types<GetRightsResponse, GetStatesResponse, GetActivitiesResponse, PutStatesResponse,
                                    PutActivityResponse, LoginResponse, LogoutResponse>;
TYPED_TEST_SUITE(EveryReplyHandler, AllResponses);

}  // namespace

TYPED_TEST(EveryReplyHandler, ReadsStatusCodeAndMessage) {
    for (const StatusCase& c : kStatusCases) {
        SCOPED_TRACE(c.name);
        TypeParam response;
        response.statusCode = -1;
        response.message = "before";
        response.responseXml = "kept";
        EXPECT_EQ(ParseFails(response, c.reply), c.fails);
        EXPECT_EQ(response.statusCode, c.statusCode);
        EXPECT_EQ(response.message, c.message);
        EXPECT_EQ(response.responseXml, "kept");  // the transport's business
    }
}

// A "billion laughs" reply would expand to gigabytes of text; the parser's
// amplification limit refuses it with a bounded amount of work and memory.
TYPED_TEST(EveryReplyHandler, RefusesEntityExpansionAttacks) {
    std::string reply = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY lol0 \"lollollollollollollollollollol\">";
    for (int level = 1; level <= 9; ++level) {
        std::string entity = "<!ENTITY lol" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i) entity += "&lol" + std::to_string(level - 1) + ";";
        reply += entity + "\">";
    }
    reply += "]><r><statuscode>1</statuscode><message>&lol9;</message></r>";

    TypeParam response;
    EXPECT_TRUE(ParseFails(response, reply));
    EXPECT_EQ(response.message, "");
}

namespace {

struct RightsFields {
    std::int32_t statusCode = 0;
    std::string message;
    std::string subStatus;
    std::string stateNo;
    std::string titleKey;
    std::int32_t maxUsers = 0;
    bool loginRequired = false;
};

struct RightsCase {
    const char* name;
    bool loginRequiredBefore;
    std::string reply;
    RightsFields expected;
};

std::string RightsReply(const std::string& loginRequired) {
    return "<getrights><statuscode>1</statuscode><login_required>" + loginRequired + "</login_required></getrights>";
}

const RightsCase kRightsCases[] = {
    {"every field", false,
     std::string(kDeclaration) +
         "<getrights><statuscode>1</statuscode><message>Account found.</message><sub_status>A</sub_status>"
         "<state_no>ca,ny</state_no><title_key>TK-1</title_key><max_users>25</max_users>"
         "<login_required>true</login_required></getrights>",
     {1, "Account found.", "A", "ca,ny", "TK-1", 25, true}},
    {"names in other cases", false,
     "<GetRights><Sub_Status>I</Sub_Status><STATE_NO>x</STATE_NO><Title_Key>t</Title_Key><MAX_USERS>3</MAX_USERS>"
     "<Login_Required>True</Login_Required></GetRights>",
     {0, "", "I", "x", "t", 3, true}},
    {"login_required TRUE", false, RightsReply("TRUE"), {1, "", "", "", "", 0, true}},
    {"login_required false", false, RightsReply("false"), {1, "", "", "", "", 0, false}},
    {"login_required yes", false, RightsReply("yes"), {1, "", "", "", "", 0, false}},
    {"login_required with a space before", false, RightsReply(" true"), {1, "", "", "", "", 0, false}},
    {"login_required with a space after", false, RightsReply("true "), {1, "", "", "", "", 0, false}},
    {"login_required false never clears the flag", true, RightsReply("false"), {1, "", "", "", "", 0, true}},
    {"login_required empty never clears the flag", true, RightsReply(""), {1, "", "", "", "", 0, true}},
    {"max_users with white space and a word", false, "<r><max_users> 25 users</max_users></r>",
     {0, "", "", "", "", 25, false}},
    {"max_users not a number", false, "<r><max_users>many</max_users></r>", {0, "", "", "", "", 0, false}},
    {"max_users negative", false, "<r><max_users>-5</max_users></r>", {0, "", "", "", "", -5, false}},
    {"texts stored without decoding or trimming", false,
     "<r><sub_status> A\n</sub_status><state_no>a&amp;amp;b</state_no><title_key>&amp;lt;</title_key></r>",
     {0, "", " A\n", "a&amp;b", "&lt;", 0, false}},
};

}  // namespace

TEST(GetRightsResponseHandlers, ReadsTheRightsReply) {
    for (const RightsCase& c : kRightsCases) {
        SCOPED_TRACE(c.name);
        GetRightsResponse response;
        response.loginRequired = c.loginRequiredBefore;
        EXPECT_FALSE(ParseFails(response, c.reply));
        EXPECT_EQ(response.statusCode, c.expected.statusCode);
        EXPECT_EQ(response.message, c.expected.message);
        EXPECT_EQ(response.subStatus, c.expected.subStatus);
        EXPECT_EQ(response.stateNo, c.expected.stateNo);
        EXPECT_EQ(response.titleKey, c.expected.titleKey);
        EXPECT_EQ(response.maxUsers, c.expected.maxUsers);
        EXPECT_EQ(response.loginRequired, c.expected.loginRequired);
    }
}

TEST(GetRightsResponseHandlers, KeepsFieldsTheReplyDoesNotCarry) {
    GetRightsResponse response;
    response.subStatus = "A";
    response.stateNo = "CA";
    response.titleKey = "T";
    response.maxUsers = 9;
    response.Parse("<r><statuscode>1</statuscode></r>");
    EXPECT_EQ(response.statusCode, 1);
    EXPECT_EQ(response.subStatus, "A");
    EXPECT_EQ(response.stateNo, "CA");
    EXPECT_EQ(response.titleKey, "T");
    EXPECT_EQ(response.maxUsers, 9);
}

TEST(GetStatesResponseHandlers, UpperCasesTheStateListAndSkipsNull) {
    const struct {
        const char* name;
        std::string stateNo;  // the text of state_no as written in the reply
        std::string expected;
    } cases[] = {
        {"lower case", "ab,cd", "AB,CD"},
        {"already upper case", "CA,NY,TX", "CA,NY,TX"},
        {"null", "null", "before"},
        {"NULL", "NULL", "before"},
        {"Null", "Null", "before"},
        {"empty", "", ""},
        {"null with a space", " null", " NULL"},
        {"NULL inside a list", "null,ca", "NULL,CA"},
        {"bytes beyond ASCII unchanged", "caf\xC3\xA9", "CAF\xC3\xA9"},
        {"not decoded a second time", "a&amp;amp;b", "A&AMP;B"},
        {"line breaks kept", "\nca\n", "\nCA\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GetStatesResponse response;
        response.stateNo = "before";
        response.Parse("<getstates><statuscode>1</statuscode><state_no>" + c.stateNo + "</state_no></getstates>");
        EXPECT_EQ(response.statusCode, 1);
        EXPECT_EQ(response.stateNo, c.expected);
    }
}

TEST(GetStatesResponseHandlers, UpperCasesTheGatheredText) {
    // The upper-casing works on the gathered text itself, which the enclosing
    // message goes on gathering after state_no closes.
    GetStatesResponse response;
    response.Parse("<r><message>a<state_no>ca</state_no>b</message></r>");
    EXPECT_EQ(response.stateNo, "CA");
    EXPECT_EQ(response.message, "CAb");
}
