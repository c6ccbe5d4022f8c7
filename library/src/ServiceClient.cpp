#include <OrvaneLib/ServiceClient.h>

#include <OrvaneLib/HttpTransport.h>
#include <OrvaneLib/RequestDocuments.h>

namespace OrvaneLib {
namespace {

// Every operation: fresh parameters, the signed document, the transport.
template <typename Request, typename Response>
void Call(const ConnectionSettings& settings, const Request& request, Response& response) {
    RequestParameters parameters;
    BuildRequestParameters(request, parameters);
    SendHttpRequest(response, settings, parameters);
}

}  // namespace

ServiceClient::ServiceClient(const ConnectionSettings& connectionSettings) : settings(connectionSettings) {}

void ServiceClient::GetRights(const GetRightsRequest& request, GetRightsResponse& response) {
    Call(settings, request, response);
}

void ServiceClient::GetStates(const GetStatesRequest& request, GetStatesResponse& response) {
    Call(settings, request, response);
}

void ServiceClient::PutStates(const PutStatesRequest& request, PutStatesResponse& response) {
    Call(settings, request, response);
}

void ServiceClient::GetActivities(const GetActivitiesRequest& request, GetActivitiesResponse& response) {
    Call(settings, request, response);
}

void ServiceClient::PutActivity(const PutActivityRequest& request, PutActivityResponse& response) {
    Call(settings, request, response);
}

void ServiceClient::Login(const LoginRequest& request, LoginResponse& response) {
    Call(settings, request, response);
}

void ServiceClient::Logout(const LogoutRequest& request, LogoutResponse& response) {
    Call(settings, request, response);
}

}  // namespace OrvaneLib
