#include <OrvaneLib/ResponseHandlers.h>

#include "AsciiText.h"
#include "IntegerText.h"

#include <array>
#include <string_view>

namespace OrvaneLib {

namespace {

// In the order of StatusResponseHandlers::Element.
constexpr std::array<std::string_view, 2> kElementNames{"statuscode", "message"};

}  // namespace

void StatusResponseHandlers::OnStartElement(const char* name, const char** /*attributes*/) {
    if (const auto element = FindElement<Element>(kElementNames, name)) tags_.Open(*element);
}

void StatusResponseHandlers::OnEndElement(const char* name) {
    if (tags_.IsEmpty()) return;
    Store(tags_.Top());
    tags_.CloseIfTop(FindElement<Element>(kElementNames, name));
}

void StatusResponseHandlers::OnCharacterData(const char* data, std::int32_t length) {
    tags_.Append(data, length);
}

void StatusResponseHandlers::Store(Element element) {
    const std::string& text = tags_.Text();
    switch (element) {
        case Element::statuscode:
            response_->statusCode = TextToInt32(text);
            break;
        case Element::message:
            response_->message = text;
            XmlUnescape(response_->message);
            break;
    }
}

}  // namespace OrvaneLib
