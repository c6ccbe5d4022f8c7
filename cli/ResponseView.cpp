#include "ResponseView.h"

namespace OrvaneCli {

namespace {

ViewField Text(std::string name, std::string value) { return {std::move(name), std::move(value), ViewField::Kind::Text}; }

ViewField Number(std::string name, std::int32_t value) {
    return {std::move(name), std::to_string(value), ViewField::Kind::Number};
}

ViewField Flag(std::string name, bool value) { return {std::move(name), value ? "true" : "false", ViewField::Kind::Flag}; }

std::vector<ViewField> ActivityFields(const OrvaneLib::ActivityRecord& record) {
    return {Text("activityText", record.activityText),   Text("ipAddress", record.ipAddress),
            Text("userAgent", record.userAgent),         Text("macAddress", record.macAddress),
            Text("workstationName", record.workstationName), Text("userName", record.userName),
            Text("titleKey", record.titleKey),           Text("createDate", record.createDate),
            Text("updSource", record.updSource)};
}

}  // namespace

ResponseView Describe(const OrvaneLib::ResponseBase& response) {
    ResponseView view;
    view.fields = {Number("statusCode", response.statusCode), Text("message", response.message)};
    view.responseXml = response.responseXml;
    return view;
}

ResponseView Describe(const OrvaneLib::GetRightsResponse& response) {
    ResponseView view = Describe(static_cast<const OrvaneLib::ResponseBase&>(response));
    view.fields.push_back(Text("subStatus", response.subStatus));
    view.fields.push_back(Text("stateNo", response.stateNo));
    view.fields.push_back(Text("titleKey", response.titleKey));
    view.fields.push_back(Number("maxUsers", response.maxUsers));
    view.fields.push_back(Flag("loginRequired", response.loginRequired));
    return view;
}

ResponseView Describe(const OrvaneLib::GetStatesResponse& response) {
    ResponseView view = Describe(static_cast<const OrvaneLib::ResponseBase&>(response));
    view.fields.push_back(Text("stateNo", response.stateNo));
    return view;
}

ResponseView Describe(const OrvaneLib::GetActivitiesResponse& response) {
    ResponseView view = Describe(static_cast<const OrvaneLib::ResponseBase&>(response));
    view.hasActivities = true;
    for (const OrvaneLib::ActivityRecord& record : response.activities) {
        view.activities.push_back(ActivityFields(record));
    }
    return view;
}

}  // namespace OrvaneCli
