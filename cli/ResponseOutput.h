#pragma once

#include "ResponseView.h"

#include <OrvaneLib/OrvaneException.h>

#include <ostream>
#include <string>

namespace OrvaneCli {

// Human-readable: one "name: value" line per field; activities numbered
// and indented; the raw reply at the end when asked for.
void PrintText(std::ostream& out, const ResponseView& view, bool withXml);

// One JSON object on one line: "operation", "ok", the fields, "activities"
// for get-activities, "responseXml", and "error" {message, code} after a failure.
void PrintJson(std::ostream& out, const std::string& operation, const ResponseView& view,
               const OrvaneLib::OrvaneException* error);

// "error: <message> (code <code>)", and the service's own message when the
// reply carried one, for standard error.
void PrintError(std::ostream& out, const ResponseView& view, const OrvaneLib::OrvaneException& error);

}  // namespace OrvaneCli
