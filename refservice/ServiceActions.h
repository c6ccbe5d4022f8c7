#pragma once

#include "RequestDocument.h"
#include "ServiceClock.h"
#include "ServiceStore.h"

#include <stdexcept>
#include <string>

namespace OrvaneRefService {

// A request that the service understood and turns down: unknown account,
// suspended account, bad credentials, invalid values. The text is the reply's
// message.
class ActionRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The seven actions over the store. Each takes a parsed request document and
// returns the reply document, or raises ActionRefused. Callers serialise use.
class ServiceActions {
public:
    ServiceActions(ServiceStore& store, ServiceClock clock);

    std::string GetRights(const RequestDocument& request);
    std::string GetStates(const RequestDocument& request);
    std::string PutStates(const RequestDocument& request);
    std::string GetActivities(const RequestDocument& request);
    std::string PutActivity(const RequestDocument& request);
    std::string Login(const RequestDocument& request);
    std::string Logout(const RequestDocument& request);

private:
    Account RequireAccount(const RequestDocument& request);
    Account RequireActiveAccount(const RequestDocument& request);
    StoredActivity ActivityOf(const RequestDocument& request);

    ServiceStore& store_;
    ServiceClock clock_;
};

// True for a comma-delimited list of decimal numbers ("3,7,12") or empty.
bool IsValidStateList(const std::string& stateList);

// "MMDDYYYY" as the request documents write dates, to the store's
// "YYYY-MM-DD"; raises ActionRefused for anything that is not a real date.
std::string StoredDayFromRequestDate(const std::string& fieldName, const std::string& date);

// The store's "YYYY-MM-DD HH:MM:SS" as the reply writes it: "MM-DD-YYYY HH:MM:SS".
std::string ReplyDateFromStoredTime(const std::string& stored);

}  // namespace OrvaneRefService
