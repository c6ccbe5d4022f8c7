#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace OrvaneLib {

// The library's only error type. It deliberately does not derive from
// std::exception: callers catch it by its own type and show `message`.
class OrvaneException {
public:
    OrvaneException(std::string text, std::int32_t errorCode)
        : message(std::move(text)), code(errorCode) {}

    std::string message;
    std::string detail;  // always empty; kept for callers that expect it
    std::int32_t code;
};

}  // namespace OrvaneLib
