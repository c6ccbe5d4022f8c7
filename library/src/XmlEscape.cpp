#include <OrvaneLib/RequestDocuments.h>

namespace OrvaneLib {
namespace {

// What each special character finally becomes after the five passes
// (" -> &quot;, & -> &amp;, ' -> &apos;, < -> &lt;, > -> &gt;, in that order).
// Only the ampersand pass sees an earlier pass's output, the "&" of &quot;.
const char* Replacement(char c) {
    switch (c) {
        case '"':
            return "&amp;quot;";
        case '&':
            return "&amp;";
        case '\'':
            return "&apos;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        default:
            return nullptr;
    }
}

}  // namespace

void XmlEscape(std::string& text) {
    if (text.find_first_of("\"&'<>") == std::string::npos) {
        return;
    }
    std::string escaped;
    escaped.reserve(text.size() + text.size() / 2);
    for (const char c : text) {
        if (const char* entity = Replacement(c)) {
            escaped += entity;
        } else {
            escaped += c;
        }
    }
    text.swap(escaped);
}

}  // namespace OrvaneLib
