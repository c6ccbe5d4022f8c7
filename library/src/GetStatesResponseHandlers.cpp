#include <OrvaneLib/ResponseHandlers.h>

#include "AsciiText.h"
#include "IntegerText.h"

#include <array>
#include <string_view>

namespace OrvaneLib {

namespace {

// In the order of GetStatesResponseHandlers::Element.
constexpr std::array<std::string_view, 3> kElementNames{"statuscode", "message", "state_no"};

}  // namespace

void GetStatesResponseHandlers::OnStartElement(const char* name, const char** /*attributes*/) {
    if (const auto element = FindElement<Element>(kElementNames, name)) tags_.Open(*element);
}

void GetStatesResponseHandlers::OnEndElement(const char* name) {
    if (tags_.IsEmpty()) return;
    Store(tags_.Top());
    tags_.CloseIfTop(FindElement<Element>(kElementNames, name));
}

void GetStatesResponseHandlers::OnCharacterData(const char* data, std::int32_t length) {
    tags_.Append(data, length);
}

void GetStatesResponseHandlers::Store(Element element) {
    std::string& text = tags_.Text();
    switch (element) {
        case Element::statuscode:
            response_->statusCode = TextToInt32(text);
            break;
        case Element::message:
            response_->message = text;
            XmlUnescape(response_->message);
            break;
        case Element::state_no:
            // The service writes NULL (in any case) for "no states"; that
            // leaves the field as it was. The gathered text itself is
            // upper-cased.
            UpperCaseAscii(text);
            if (text != "NULL") response_->stateNo = text;
            break;
    }
}

}  // namespace OrvaneLib
