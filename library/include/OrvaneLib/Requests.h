#pragma once

#include <OrvaneLib/SystemTime.h>

#include <string>

namespace OrvaneLib {

class RequestBase {
public:
    virtual ~RequestBase() = default;
    // Empties idCode and restores the default source "QRM".
    virtual void Reset();

    std::string idCode;
    std::string source = "QRM";
};

class GetRightsRequest : public RequestBase {};

class GetStatesRequest : public RequestBase {};

class GetActivitiesRequest : public RequestBase {
public:
    // Zeroes both dates, then does the base's reset.
    void Reset() override;

    SystemTime dateFrom;
    SystemTime dateTo;
};

class PutStatesRequest : public RequestBase {
public:
    std::string stateList;
};

// The eight activity fields shared by PutActivity, Login and Logout, in the
// order in which the request documents write them.
struct ActivityFields {
    std::string activityText;
    std::string ipAddress;
    std::string userAgent;
    std::string macAddress;
    std::string workstationName;
    std::string userName;
    std::string titleKey;
    std::string updSource;
};

class PutActivityRequest : public RequestBase, public ActivityFields {};

class LoginRequest : public RequestBase, public ActivityFields {
public:
    std::string loginUsername;
    std::string loginPassword;
    bool loginRequired = false;
};

class LogoutRequest : public RequestBase, public ActivityFields {
public:
    std::string loginUsername;
};

}  // namespace OrvaneLib
