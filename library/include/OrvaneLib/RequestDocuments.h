#pragma once

#include <OrvaneLib/Requests.h>

#include <map>
#include <string>

namespace OrvaneLib {

// What one operation hands to the transport: "Action" (the wire name, the last
// segment of the request path) and "HttpRequestString" (the request document,
// a line feed and the document's signature: the whole POST body).
using RequestParameters = std::map<std::string, std::string>;

// Each overload writes "Action" and "HttpRequestString" for its operation.
// Field values are taken up to their first NUL byte; the request is not
// changed. An unset GetActivities date goes out as 1 January 2000 (from) or
// as the day after today's local date (to).
void BuildRequestParameters(const GetRightsRequest& request, RequestParameters& parameters);
void BuildRequestParameters(const GetStatesRequest& request, RequestParameters& parameters);
void BuildRequestParameters(const GetActivitiesRequest& request, RequestParameters& parameters);
void BuildRequestParameters(const PutStatesRequest& request, RequestParameters& parameters);
void BuildRequestParameters(const PutActivityRequest& request, RequestParameters& parameters);
void BuildRequestParameters(const LoginRequest& request, RequestParameters& parameters);
void BuildRequestParameters(const LogoutRequest& request, RequestParameters& parameters);

// Replaces " & ' < > by entity references, as five passes in that order would:
// the ampersand pass also escapes the quote's entity, so a double quote
// becomes &amp;quot; (the service undoes exactly this). Linear time.
void XmlEscape(std::string& text);

}  // namespace OrvaneLib
