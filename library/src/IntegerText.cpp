#include "IntegerText.h"

#include <cstddef>
#include <limits>

namespace OrvaneLib {

namespace {

// The white space of the C locale's isspace.
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::int32_t TextToInt32(std::string_view text) {
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();

    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;

    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    // Accumulating the magnitude stops growing just past the 32-bit range,
    // so it never overflows however many digits follow.
    std::int64_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (magnitude <= kMax) magnitude = magnitude * 10 + (text[i] - '0');
    }

    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < kMin) return std::numeric_limits<std::int32_t>::min();
    if (value > kMax) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

}  // namespace OrvaneLib
