#pragma once

#include "ServiceActions.h"

#include <mutex>
#include <string>
#include <string_view>

namespace OrvaneRefService {

// What one request came to: the HTTP status and reply document to send, and
// what the request log records.
struct ServiceReply {
    int httpStatus = 200;
    std::string document;
    std::string idCode;   // as the request carried it; empty when unknown
    bool accepted = false;
    std::string outcome;  // why it was refused; empty when accepted
};

// Takes one posted body for one action through the whole check: signature,
// document, action, store. Never raises for anything the client sent; a store
// failure becomes an HTTP 500 with a refusing reply. Thread-safe.
class ReferenceService {
public:
    ReferenceService(ServiceStore& store, ServiceClock clock);

    ServiceReply Handle(std::string_view action, std::string_view body);

private:
    std::string Dispatch(std::string_view action, const RequestDocument& request);

    std::mutex mutex_;
    ServiceActions actions_;
};

}  // namespace OrvaneRefService
