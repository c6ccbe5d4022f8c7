// The activity reply: records built per activity element and handed to the
// response at the end tag of the activities element.
#include <OrvaneLib/OrvaneException.h>
#include <OrvaneLib/Responses.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace OrvaneLib;

namespace {

// One record as a line, field by field in the order of ActivityRecord.
std::string Line(const ActivityRecord& r) {
    return r.activityText + "|" + r.ipAddress + "|" + r.userAgent + "|" + r.macAddress + "|" + r.workstationName +
           "|" + r.userName + "|" + r.titleKey + "|" + r.createDate + "|" + r.updSource;
}

std::vector<std::string> Lines(const GetActivitiesResponse& response) {
    std::vector<std::string> lines;
    for (const ActivityRecord& r : response.activities) lines.push_back(Line(r));
    return lines;
}

// A response that already holds one record, so an untouched list shows.
GetActivitiesResponse ResponseWithEarlierRecord() {
    GetActivitiesResponse response;
    ActivityRecord earlier;
    earlier.activityText = "earlier";
    response.activities.push_back(earlier);
    return response;
}

const std::string kUntouched = "earlier||||||||";

std::string Activity(const std::string& text) { return "<activity><activity_text>" + text + "</activity_text></activity>"; }

struct ActivitiesCase {
    const char* name;
    std::string reply;
    std::vector<std::string> expected;
    bool fails = false;
};

const ActivitiesCase kCases[] = {
    {"two records, the second with missing fields",
     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><getactivities><statuscode>1</statuscode><message>ok</message>"
     "<activities>\n"
     " <activity><activity_text>Login</activity_text><ip_address>10.0.0.1</ip_address>"
     "<user_agent>Agent/1.0</user_agent><mac_address>00-11-22-33-44-55</mac_address>"
     "<workstation_name>WS1</workstation_name><username>jdoe</username><title_key>TK</title_key>"
     "<create_date>2013-03-04 10:11:12</create_date><upd_source>QRM</upd_source></activity>\n"
     " <activity><create_date>2013-03-05 08:00:00</create_date><activity_text>Logout</activity_text></activity>\n"
     "</activities></getactivities>",
     {"Login|10.0.0.1|Agent/1.0|00-11-22-33-44-55|WS1|jdoe|TK|2013-03-04 10:11:12|QRM",
      "Logout|||||||2013-03-05 08:00:00|"}},
    {"four fields decoded a second time, the others as delivered",
     "<r><activities><activity><activity_text>a&amp;amp;b</activity_text><ip_address>&amp;lt;</ip_address>"
     "<user_agent>a&amp;amp;b</user_agent><mac_address>&amp;lt;</mac_address>"
     "<workstation_name>&amp;lt;ws&amp;gt;</workstation_name><username>o&amp;apos;neil</username>"
     "<title_key>&amp;quot;</title_key><create_date>&amp;quot;</create_date>"
     "<upd_source>&amp;quot;x&amp;quot;</upd_source></activity></activities></r>",
     {"a&amp;b|&lt;|a&b|&lt;|<ws>|o'neil|&quot;|&quot;|\"x\""}},
    {"names in other cases",
     "<r><ACTIVITIES><Activity><Activity_Text>x</Activity_Text><USERNAME>u</USERNAME></Activity></ACTIVITIES></r>",
     {"x|||||u|||"}},
    {"texts kept untrimmed, CDATA and unrecognised elements gathered",
     "<r><activities><activity><activity_text>\n a<b>b</b><![CDATA[<c>]]> \n</activity_text></activity></activities></r>",
     {"\n ab<c> \n||||||||"}},
    // An unrecognised element inside an activity adds no half-filled copy.
    {"unrecognised element inside an activity",
     "<r><activities><activity><activity_text>x</activity_text><note>n</note></activity>"
     "<activity><note/><activity_text>y</activity_text><extra><deeper/></extra></activity></activities></r>",
     {"x||||||||", "y||||||||"}},
    {"no activities element", "<r>" + Activity("x") + "</r>", {kUntouched}},
    {"activities inside a recognised element",
     "<r><message><activities>" + Activity("x") + "</activities></message></r>", {kUntouched}},
    {"activities inside an activity", "<r><activity><activities>" + Activity("x") + "</activities></activity></r>",
     {kUntouched}},
    {"activities inside unrecognised elements", "<r><data><activities>" + Activity("x") + "</activities></data></r>",
     {"x||||||||"}},
    {"empty activities empties the list", "<r><activities/></r>", {}},
    {"a second activities element delivers the records of both",
     "<r><activities>" + Activity("a") + "</activities><activities>" + Activity("b") + Activity("c") +
         "</activities></r>",
     {"a||||||||", "b||||||||", "c||||||||"}},
    {"records after the last activities end tag stay out",
     "<r><activities>" + Activity("a") + "</activities>" + Activity("b") + "</r>", {"a||||||||"}},
    {"fields outside an activity do not reach the next record",
     "<r><activities><username>u</username><ip_address>1</ip_address>" + Activity("t") + "</activities></r>",
     {"t||||||||"}},
    // An inner activity starts a fresh record; the outer one goes on with it.
    {"an activity inside an activity",
     "<r><activities><activity><activity_text>a</activity_text><activity><ip_address>1</ip_address></activity>"
     "<mac_address>m</mac_address></activity></activities></r>",
     {"|1|||||||", "|1||m|||||"}},
    {"cut off before the activities end tag", "<r><activities>" + Activity("a"), {kUntouched}, true},
    {"fails after the activities end tag", "<r><activities>" + Activity("a") + "</activities><message>cut",
     {"a||||||||"}, true},
};

bool ParseFails(GetActivitiesResponse& response, const std::string& reply) {
    try {
        response.Parse(reply);
        return false;
    } catch (const OrvaneException& e) {
        EXPECT_EQ(e.message, "Unknown Error");
        EXPECT_EQ(e.code, 0);
        return true;
    }
}

}  // namespace

TEST(GetActivitiesResponseHandlers, BuildsTheActivityList) {
    for (const ActivitiesCase& c : kCases) {
        SCOPED_TRACE(c.name);
        GetActivitiesResponse response = ResponseWithEarlierRecord();
        EXPECT_EQ(ParseFails(response, c.reply), c.fails);
        EXPECT_EQ(Lines(response), c.expected);
    }
}

TEST(GetActivitiesResponseHandlers, ReadsStatusAndMessageAnywhere) {
    GetActivitiesResponse response;
    response.Parse(
        "<r><activities><activity><statuscode>1</statuscode><activity_text>x</activity_text></activity>"
        "</activities></r>");
    EXPECT_EQ(response.statusCode, 1);
    EXPECT_EQ(Lines(response), std::vector<std::string>{"x||||||||"});
}

TEST(GetActivitiesResponseHandlers, AnActivityStartKeepsTheGatheredText) {
    // Unlike the other recognised start tags, activity does not empty the
    // text, so the enclosing message goes on gathering across it.
    GetActivitiesResponse response;
    response.Parse("<r><message>a<activity>b</activity>c</message></r>");
    EXPECT_EQ(response.message, "abc");
    EXPECT_TRUE(response.activities.empty());
}

TEST(GetActivitiesResponseHandlers, KeepsManyRecordsInReplyOrder) {
    std::string reply = "<r><statuscode>1</statuscode><activities>";
    std::vector<std::string> expected;
    for (int i = 0; i < 2000; ++i) {
        const std::string n = std::to_string(i);
        reply += "<activity><activity_text>text " + n + "</activity_text><username>user " + n +
                 "</username><create_date>2013-01-01 00:00:" + n + "</create_date></activity>";
        expected.push_back("text " + n + "|||||user " + n + "||2013-01-01 00:00:" + n + "|");
    }
    reply += "</activities></r>";
    GetActivitiesResponse response;
    response.Parse(reply);
    EXPECT_EQ(Lines(response), expected);
}
