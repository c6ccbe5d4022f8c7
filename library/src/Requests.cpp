#include <OrvaneLib/Requests.h>

namespace OrvaneLib {

void RequestBase::Reset() {
    idCode.clear();
    source = "QRM";
}

void GetActivitiesRequest::Reset() {
    dateFrom = SystemTime{};
    dateTo = SystemTime{};
    RequestBase::Reset();
}

}  // namespace OrvaneLib
