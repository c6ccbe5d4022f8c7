#pragma once

#include <cstdint>
#include <string_view>

namespace OrvaneLib {

// Reads a number the way a standard decimal conversion does: leading white
// space skipped, an optional sign, then decimal digits up to the first other
// character. A text without digits gives 0; a value outside the 32-bit range
// gives INT32_MIN or INT32_MAX.
std::int32_t TextToInt32(std::string_view text);

}  // namespace OrvaneLib
