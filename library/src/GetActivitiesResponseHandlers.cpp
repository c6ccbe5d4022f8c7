#include <OrvaneLib/ResponseHandlers.h>

#include "AsciiText.h"
#include "IntegerText.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

namespace OrvaneLib {

namespace {

// In the order of GetActivitiesResponseHandlers::Element.
constexpr std::array<std::string_view, 12> kElementNames{
    "statuscode", "message",    "username",    "activity_text", "mac_address", "workstation_name",
    "user_agent", "title_key", "ip_address", "create_date",   "upd_source",  "activity"};

// Recognised at its end tag only, and only outside every recognised element.
constexpr std::string_view kActivitiesName = "activities";

void StoreUnescaped(std::string& field, const std::string& text) {
    field = text;
    XmlUnescape(field);
}

}  // namespace

void GetActivitiesResponseHandlers::OnStartElement(const char* name, const char** /*attributes*/) {
    const auto element = FindElement<Element>(kElementNames, name);
    if (!element) return;
    if (*element == Element::activity) {
        tags_.OpenKeepingText(Element::activity);
        record_.Reset();
    } else {
        tags_.Open(*element);
    }
}

void GetActivitiesResponseHandlers::OnEndElement(const char* name) {
    if (tags_.IsEmpty()) {
        if (NameEqualsIgnoreAsciiCase(name, kActivitiesName)) DeliverRecords();
        return;
    }
    const Element top = tags_.Top();
    // The recognised names differ regardless of case, so the tag ends the top
    // element exactly when it carries the top element's name.
    const bool endsTop = NameEqualsIgnoreAsciiCase(name, kElementNames[static_cast<std::size_t>(top)]);
    Store(top);
    tags_.CloseIfTop(endsTop ? std::optional<Element>(top) : std::nullopt);
    // Only the activity's own end tag finishes its record; the end tag of an
    // unrecognised element inside it must not add a half-filled copy.
    if (top == Element::activity && endsTop) FinishRecord();
}

void GetActivitiesResponseHandlers::OnCharacterData(const char* data, std::int32_t length) {
    tags_.Append(data, length);
}

void GetActivitiesResponseHandlers::Store(Element element) {
    const std::string& text = tags_.Text();
    switch (element) {
        case Element::statuscode:
            response_->statusCode = TextToInt32(text);
            break;
        case Element::message:
            StoreUnescaped(response_->message, text);
            break;
        case Element::username:
            StoreUnescaped(record_.userName, text);
            break;
        case Element::activity_text:
            record_.activityText = text;
            break;
        case Element::mac_address:
            record_.macAddress = text;
            break;
        case Element::workstation_name:
            StoreUnescaped(record_.workstationName, text);
            break;
        case Element::user_agent:
            StoreUnescaped(record_.userAgent, text);
            break;
        case Element::title_key:
            record_.titleKey = text;
            break;
        case Element::ip_address:
            record_.ipAddress = text;
            break;
        case Element::create_date:
            record_.createDate = text;
            break;
        case Element::upd_source:
            StoreUnescaped(record_.updSource, text);
            break;
        case Element::activity:
            break;  // the record is finished by FinishRecord
    }
}

void GetActivitiesResponseHandlers::FinishRecord() {
    // An enclosing activity element that is still open goes on with this
    // record's fields, so the record is copied then. Otherwise nothing reads
    // it before the next activity start resets it, and it is moved.
    if (tags_.Contains(Element::activity)) {
        undelivered_.push_back(record_);
    } else {
        undelivered_.push_back(std::move(record_));
    }
}

void GetActivitiesResponseHandlers::DeliverRecords() {
    // The first delivery replaces what the response held. After it the
    // response's list holds exactly the records delivered so far (nothing else
    // writes to it during the parse), so appending the newer ones gives every
    // record gathered, in order, without copying any.
    if (!deliveredOnce_) {
        response_->activities.clear();
        deliveredOnce_ = true;
    }
    response_->activities.splice(response_->activities.end(), undelivered_);
}

}  // namespace OrvaneLib
