#include <OrvaneLib/ResponseHandlers.h>

#include "AsciiText.h"
#include "IntegerText.h"

#include <array>
#include <string_view>

namespace OrvaneLib {

namespace {

// In the order of GetRightsResponseHandlers::Element.
constexpr std::array<std::string_view, 7> kElementNames{
    "statuscode", "message", "sub_status", "state_no", "title_key", "max_users", "login_required"};

}  // namespace

void GetRightsResponseHandlers::OnStartElement(const char* name, const char** /*attributes*/) {
    if (const auto element = FindElement<Element>(kElementNames, name)) tags_.Open(*element);
}

void GetRightsResponseHandlers::OnEndElement(const char* name) {
    if (tags_.IsEmpty()) return;
    Store(tags_.Top());
    tags_.CloseIfTop(FindElement<Element>(kElementNames, name));
}

void GetRightsResponseHandlers::OnCharacterData(const char* data, std::int32_t length) {
    tags_.Append(data, length);
}

void GetRightsResponseHandlers::Store(Element element) {
    const std::string& text = tags_.Text();
    switch (element) {
        case Element::statuscode:
            response_->statusCode = TextToInt32(text);
            break;
        case Element::message:
            response_->message = text;
            XmlUnescape(response_->message);
            break;
        case Element::sub_status:
            response_->subStatus = text;
            break;
        case Element::state_no:
            response_->stateNo = text;
            break;
        case Element::title_key:
            response_->titleKey = text;
            break;
        case Element::max_users:
            response_->maxUsers = TextToInt32(text);
            break;
        case Element::login_required:
            // Only ever set, never cleared: any other text leaves the flag alone.
            if (EqualsIgnoreAsciiCase(text, "true")) response_->loginRequired = true;
            break;
    }
}

}  // namespace OrvaneLib
