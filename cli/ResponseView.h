#pragma once

#include <OrvaneLib/Responses.h>

#include <string>
#include <vector>

namespace OrvaneCli {

// One printed field: its name (the library's field name) and its value,
// with the JSON kind the value has.
struct ViewField {
    enum class Kind { Text, Number, Flag };
    std::string name;
    std::string value;
    Kind kind = Kind::Text;
};

// What the CLI prints of a response, in the library's field order.
struct ResponseView {
    std::vector<ViewField> fields;
    bool hasActivities = false;
    std::vector<std::vector<ViewField>> activities;
    std::string responseXml;
};

ResponseView Describe(const OrvaneLib::GetRightsResponse& response);
ResponseView Describe(const OrvaneLib::GetStatesResponse& response);
ResponseView Describe(const OrvaneLib::GetActivitiesResponse& response);
// The four responses that carry only status code and message.
ResponseView Describe(const OrvaneLib::ResponseBase& response);

}  // namespace OrvaneCli
