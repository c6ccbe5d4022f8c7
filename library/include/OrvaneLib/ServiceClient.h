#pragma once

#include <OrvaneLib/ConnectionSettings.h>
#include <OrvaneLib/Requests.h>
#include <OrvaneLib/Responses.h>

namespace OrvaneLib {

// The seven operations of the service. Each builds its signed request
// document, posts it and parses the reply into the response; it returns
// only when the reply's status code is 1 and raises OrvaneException
// otherwise. The caller resets a reused response before each call.
class ServiceClient {
public:
    // Refers to the settings without copying them: a later change to them
    // is seen by the next call. They must outlive the client.
    explicit ServiceClient(const ConnectionSettings& settings);

    void GetRights(const GetRightsRequest& request, GetRightsResponse& response);
    void GetStates(const GetStatesRequest& request, GetStatesResponse& response);
    void PutStates(const PutStatesRequest& request, PutStatesResponse& response);
    void GetActivities(const GetActivitiesRequest& request, GetActivitiesResponse& response);
    void PutActivity(const PutActivityRequest& request, PutActivityResponse& response);
    void Login(const LoginRequest& request, LoginResponse& response);
    void Logout(const LogoutRequest& request, LogoutResponse& response);

    const ConnectionSettings& settings;
};

}  // namespace OrvaneLib
