#pragma once

#include <string_view>

namespace OrvaneRefService {

// Compares in time that depends only on the lengths, not on where the texts
// differ, so that signatures and password hashes cannot be guessed byte by byte.
bool ConstantTimeEquals(std::string_view a, std::string_view b);

}  // namespace OrvaneRefService
