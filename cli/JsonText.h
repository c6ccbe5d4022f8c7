#pragma once

#include <string>
#include <string_view>

namespace OrvaneCli {

// The text as a JSON string literal, quotes included. Control characters
// are escaped; bytes that are not valid UTF-8 become U+FFFD, so the output
// is always valid JSON whatever a reply held.
std::string JsonQuote(std::string_view text);

}  // namespace OrvaneCli
