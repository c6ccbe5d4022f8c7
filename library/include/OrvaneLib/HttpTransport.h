#pragma once

#include <OrvaneLib/ConnectionSettings.h>
#include <OrvaneLib/RequestDocuments.h>
#include <OrvaneLib/Responses.h>

namespace OrvaneLib {

class HttpClientLayer;

// Posts parameters["HttpRequestString"] to settings.serviceUrl + "/" +
// parameters["Action"] (directly or through the configured proxy), stores
// the reply in response.responseXml (up to its first NUL byte), hands the
// whole reply to response.Parse and requires response.statusCode to be 1.
// Every failure is raised as OrvaneException; all handles are closed first.
void SendHttpRequest(ResponseBase& response, const ConnectionSettings& settings, RequestParameters& parameters);

// The same over a given HTTP client layer (tests pass a scripted fake).
void SendHttpRequest(ResponseBase& response, const ConnectionSettings& settings, RequestParameters& parameters,
                     HttpClientLayer& layer);

}  // namespace OrvaneLib
