#pragma once

#include <cstdint>
#include <list>
#include <string>

namespace OrvaneLib {

// One activity of a qrmGetActivities reply. The reply names the user
// element "username" (requests say "user_name").
struct ActivityRecord {
    std::string activityText;
    std::string ipAddress;
    std::string userAgent;
    std::string macAddress;
    std::string workstationName;
    std::string userName;
    std::string titleKey;
    std::string createDate;
    std::string updSource;

    void Reset();
};

class ResponseBase {
public:
    virtual ~ResponseBase() = default;
    // Reads the reply document into the fields; the base reads nothing.
    virtual void Parse(std::string reply);
    // Empties message and responseXml, sets statusCode to 0.
    virtual void Reset();

    std::string message;
    std::int32_t statusCode = 0;  // 1 means the service accepted the request
    std::string responseXml;      // the reply as received, stored by the transport
};

class GetRightsResponse : public ResponseBase {
public:
    void Parse(std::string reply) override;
    void Reset() override;

    std::string subStatus;
    std::string stateNo;
    std::string titleKey;
    std::int32_t maxUsers = 0;
    bool loginRequired = false;  // only ever set to true by parsing
};

class GetStatesResponse : public ResponseBase {
public:
    void Parse(std::string reply) override;
    void Reset() override;

    std::string stateNo;
};

class GetActivitiesResponse : public ResponseBase {
public:
    void Parse(std::string reply) override;
    void Reset() override;

    std::list<ActivityRecord> activities;  // in reply order
};

class PutStatesResponse : public ResponseBase {
public:
    void Parse(std::string reply) override;
};

class PutActivityResponse : public ResponseBase {
public:
    void Parse(std::string reply) override;
};

class LoginResponse : public ResponseBase {
public:
    void Parse(std::string reply) override;
};

class LogoutResponse : public ResponseBase {
public:
    void Parse(std::string reply) override;
};

}  // namespace OrvaneLib
