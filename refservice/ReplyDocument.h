#pragma once

#include <string>
#include <string_view>

namespace OrvaneRefService {

// Escapes a text for element content: & < > " ' as entities, and a carriage
// return as a character reference so that it survives line-end normalisation.
std::string EscapeXmlText(std::string_view text);

// For the reply fields that the library decodes a second time after Expat
// (message, username, workstation_name, user_agent, upd_source): the five
// entities are escaped, then the result is escaped again for the document.
// A value holding entity-like text ("&lt;") cannot survive the double
// decoding; that is the library's reading, not ours to change.
std::string EscapeForDoubleDecoding(std::string_view text);

// Builds one reply document: declaration, root element, statuscode and
// message first, then the action's own elements.
class ReplyDocument {
public:
    ReplyDocument(std::string rootName, bool accepted, std::string_view message);

    // An element whose text the library stores as Expat delivers it.
    ReplyDocument& Add(std::string_view name, std::string_view text);
    // An element whose text the library decodes once more (XmlUnescape).
    ReplyDocument& AddDecodedTwice(std::string_view name, std::string_view text);
    ReplyDocument& Open(std::string_view name);
    ReplyDocument& Close(std::string_view name);

    // Closes the root element and hands out the document.
    std::string Finish();

private:
    std::string rootName_;
    std::string text_;
};

}  // namespace OrvaneRefService
