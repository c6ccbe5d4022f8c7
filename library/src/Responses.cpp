#include <OrvaneLib/Responses.h>

namespace OrvaneLib {

void ActivityRecord::Reset() { *this = ActivityRecord{}; }

void ResponseBase::Parse(std::string /*reply*/) {}

void ResponseBase::Reset() {
    message.clear();
    statusCode = 0;
    responseXml.clear();
}

void GetRightsResponse::Reset() {
    subStatus.clear();
    stateNo.clear();
    titleKey.clear();
    maxUsers = 0;
    loginRequired = false;
    ResponseBase::Reset();
}

void GetStatesResponse::Reset() {
    stateNo.clear();
    ResponseBase::Reset();
}

void GetActivitiesResponse::Reset() {
    activities.clear();
    ResponseBase::Reset();
}

}  // namespace OrvaneLib
