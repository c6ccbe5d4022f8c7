#pragma once

// The whole client API of OrvaneLib.
#include <OrvaneLib/ConnectionSettings.h>
#include <OrvaneLib/ExpatHandler.h>
#include <OrvaneLib/HttpTransport.h>
#include <OrvaneLib/OrvaneException.h>
#include <OrvaneLib/RequestDocuments.h>
#include <OrvaneLib/Requests.h>
#include <OrvaneLib/ResponseHandlers.h>
#include <OrvaneLib/Responses.h>
#include <OrvaneLib/ServiceClient.h>
#include <OrvaneLib/Signing.h>
#include <OrvaneLib/SystemTime.h>
