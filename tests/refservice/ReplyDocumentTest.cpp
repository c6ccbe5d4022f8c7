#include "ReplyDocument.h"

#include <OrvaneLib/Responses.h>

#include <gtest/gtest.h>

using namespace OrvaneRefService;

namespace {

TEST(ReplyDocument, EscapesTexts) {
    const struct {
        const char* text;
        const char* once;
        const char* twice;
    } cases[] = {
        {"plain", "plain", "plain"},
        {"a&b", "a&amp;b", "a&amp;amp;b"},
        {"<x>", "&lt;x&gt;", "&amp;lt;x&amp;gt;"},
        {"say \"hi\"", "say &quot;hi&quot;", "say &amp;quot;hi&amp;quot;"},
        {"it's", "it&apos;s", "it&amp;apos;s"},
        {"line\r\nend", "line&#13;\nend", "line&#13;\nend"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EscapeXmlText(c.text), c.once) << c.text;
        EXPECT_EQ(EscapeForDoubleDecoding(c.text), c.twice) << c.text;
    }
}

// The library keeps some texts as Expat delivers them and decodes others once
// more; each kind must come out as the service meant it.
TEST(ReplyDocument, TextsSurviveTheLibrarysDecoding) {
    const std::string awkward = "a & b < c > d \" e ' f\r\ng Zo\xC3\xAB";

    OrvaneLib::GetRightsResponse rights;
    rights.Parse(ReplyDocument("qrmGetRightsResponse", true, awkward).Add("title_key", awkward).Finish());
    EXPECT_EQ(rights.statusCode, 1);
    EXPECT_EQ(rights.message, awkward);
    EXPECT_EQ(rights.titleKey, awkward);

    OrvaneLib::GetActivitiesResponse activities;
    ReplyDocument reply("qrmGetActivitiesResponse", false, "refused");
    reply.Open("activities")
        .Open("activity")
        .Add("activity_text", awkward)
        .AddDecodedTwice("username", awkward)
        .Close("activity")
        .Close("activities");
    activities.Parse(reply.Finish());
    EXPECT_EQ(activities.statusCode, 0);
    EXPECT_EQ(activities.message, "refused");
    ASSERT_EQ(activities.activities.size(), 1u);
    EXPECT_EQ(activities.activities.front().activityText, awkward);
    EXPECT_EQ(activities.activities.front().userName, awkward);
}

}  // namespace
