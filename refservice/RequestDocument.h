#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

namespace OrvaneRefService {

// A request document that cannot be read: not well-formed, with a DOCTYPE,
// or with a field given twice. The text says what is wrong.
class RequestDocumentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The fields of one request document. Every request document holds text
// only in its leaf elements and names each leaf once, so a flat map from the
// leaf's name to its decoded text is all the actions need.
struct RequestDocument {
    std::string root;
    std::map<std::string, std::string> fields;

    bool Has(const std::string& name) const;
    // The field's text, or empty when the document does not carry it.
    std::string Field(const std::string& name) const;
};

// Parses with Expat. The fields that the library writes through XmlEscape
// (user_agent, workstation_name, user_name, upd_source) carry a double quote
// as "&quot;" after the XML decoding; it is turned back into '"' here.
RequestDocument ParseRequestDocument(std::string_view document);

}  // namespace OrvaneRefService
