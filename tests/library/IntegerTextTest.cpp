// The integer conversion of reply texts (statuscode, max_users).
#include "IntegerText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

using OrvaneLib::TextToInt32;

TEST(TextToInt32, ReadsLikeAStandardDecimalConversion) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const struct {
        const char* text;
        std::int32_t expected;
    } cases[] = {
        {"1", 1},
        {"0", 0},
        {"-7", -7},
        {"+12", 12},
        {"007", 7},
        {" 25 users", 25},
        {"\t\n\v\f\r 3", 3},
        {"42abc", 42},
        {"1.5", 1},
        // no digits
        {"", 0},
        {"abc", 0},
        {"-", 0},
        {"+-1", 0},
        {"- 1", 0},
        {"users 25", 0},
        // limits and beyond: clamped, never undefined
        {"2147483647", kMax},
        {"-2147483648", kMin},
        {"2147483648", kMax},
        {"-2147483649", kMin},
        {"99999999999999999999999999999", kMax},
        {"-99999999999999999999999999999", kMin},
        {"000000000000000000000000000042", 42},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextToInt32(c.text), c.expected) << "text: \"" << c.text << '"';
    }
}
