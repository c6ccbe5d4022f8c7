#pragma once

#include "ServiceClock.h"

#include <OrvaneLib/RequestDocuments.h>

#include <string>

namespace OrvaneRefServiceTest {

// The body the library posts for a request: document, line feed, signature.
template <typename Request>
std::string SignedBodyOf(const Request& request) {
    OrvaneLib::RequestParameters parameters;
    OrvaneLib::BuildRequestParameters(request, parameters);
    return parameters["HttpRequestString"];
}

template <typename Request>
std::string DocumentOf(const Request& request) {
    const std::string body = SignedBodyOf(request);
    return body.substr(0, body.rfind('\n'));
}

// Signs a hand-written document the way the library signs its own.
std::string Signed(const std::string& document);

// A clock that stands still until a test moves it.
struct FixedClock {
    OrvaneRefService::LocalDateTime now{2013, 3, 7, 9, 30, 0};
    OrvaneRefService::ServiceClock Clock() {
        return [this] { return now; };
    }
};

}  // namespace OrvaneRefServiceTest
