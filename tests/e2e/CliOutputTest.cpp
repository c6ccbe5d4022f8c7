// The command-line client's own pieces: JSON text, option parsing, printing.
#include "CliOptions.h"
#include "JsonText.h"
#include "ResponseOutput.h"
#include "ResponseView.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace OrvaneCli;

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

TEST(CliOutput, JsonQuoteAlwaysGivesValidJson) {
    const struct {
        std::string text;
        std::string json;
    } cases[] = {
        {"plain", "\"plain\""},
        {"say \"hi\" \\ there", "\"say \\\"hi\\\" \\\\ there\""},
        {"tab\tline\ncr\r", "\"tab\\tline\\ncr\\r\""},
        {std::string("nul\0bell\x07", 9), "\"nul\\u0000bell\\u0007\""},
        {"Zo\xC3\xAB \xE2\x82\xAC \xF0\x9F\x98\x80", "\"Zo\xC3\xAB \xE2\x82\xAC \xF0\x9F\x98\x80\""},
        {"bad \xFF byte", "\"bad \xEF\xBF\xBD byte\""},
        {"cut \xE2\x82", "\"cut \xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"overlong \xC0\xAF", "\"overlong \xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"surrogate \xED\xA0\x80", "\"surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JsonQuote(c.text), c.json) << c.text;
    }
}

TEST(CliOutput, ParsesProxiesAndDates) {
    EXPECT_EQ(ParseProxy("proxy1:8080"), std::make_pair(std::string("proxy1"), 8080));
    for (const char* bad : {"proxy1", "proxy1:", ":8080", "proxy1:0", "proxy1:65536", "proxy1:80a", "proxy1:-1"}) {
        EXPECT_FALSE(ParseProxy(bad).has_value()) << bad;
    }
    const auto date = ParseDate("2012-02-29");
    ASSERT_TRUE(date.has_value());
    EXPECT_EQ(date->year, 2012);
    EXPECT_EQ(date->month, 2);
    EXPECT_EQ(date->day, 29);
    for (const char* bad : {"2013-02-29", "2013-13-01", "2013-00-10", "2013-1-01", "03072013", "", "2013-03-07x"}) {
        EXPECT_FALSE(ParseDate(bad).has_value()) << bad;
    }
}

TEST(CliOutput, PrintsActivitiesAsTextAndJson) {
    OrvaneLib::GetActivitiesResponse response;
    response.statusCode = 1;
    response.message = "2 activities found.";
    response.responseXml = "<r/>";
    OrvaneLib::ActivityRecord record;
    record.activityText = "first";
    record.createDate = "03-07-2013 09:30:00";
    response.activities = {record, record};
    response.activities.back().activityText = "second";
    const ResponseView view = Describe(response);

    std::ostringstream text;
    PrintText(text, view, false);
    EXPECT_TRUE(StartsWith(text.str(), "statusCode: 1\nmessage: 2 activities found.\nactivities: 2\n"
                                       "  activity 1 of 2\n    activityText: first\n    ipAddress: \n"))
        << text.str();
    EXPECT_NE(text.str().find("  activity 2 of 2\n    activityText: second\n"), std::string::npos);

    std::ostringstream json;
    PrintJson(json, "get-activities", view, nullptr);
    const std::string emptyFields =
        "\"ipAddress\":\"\",\"userAgent\":\"\",\"macAddress\":\"\",\"workstationName\":\"\",\"userName\":\"\","
        "\"titleKey\":\"\",\"createDate\":\"03-07-2013 09:30:00\",\"updSource\":\"\"";
    EXPECT_EQ(json.str(), "{\"operation\":\"get-activities\",\"ok\":true,\"statusCode\":1,"
                          "\"message\":\"2 activities found.\",\"activities\":["
                          "{\"activityText\":\"first\"," + emptyFields + "},"
                          "{\"activityText\":\"second\"," + emptyFields + "}],\"responseXml\":\"<r/>\"}\n");
}

TEST(CliOutput, PrintsFailures) {
    OrvaneLib::GetRightsResponse response;
    response.message = "The account is suspended.";
    const OrvaneLib::OrvaneException error("Rejected.", 503);
    const ResponseView view = Describe(response);

    std::ostringstream err;
    PrintError(err, view, error);
    EXPECT_EQ(err.str(), "error: Rejected. (code 503)\nservice message: The account is suspended.\n");

    std::ostringstream json;
    PrintJson(json, "get-rights", view, &error);
    EXPECT_TRUE(StartsWith(json.str(), "{\"operation\":\"get-rights\",\"ok\":false,"
                                       "\"error\":{\"message\":\"Rejected.\",\"code\":503},\"statusCode\":0,"))
        << json.str();

    std::ostringstream bare;
    PrintError(bare, Describe(OrvaneLib::GetRightsResponse()), OrvaneLib::OrvaneException("Unknown Error", 0));
    EXPECT_EQ(bare.str(), "error: Unknown Error (code 0)\n");
}

}  // namespace
