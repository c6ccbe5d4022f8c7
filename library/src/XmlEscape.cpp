#include <OrvaneLib/RequestDocuments.h>

#include <cstring>
#include <string_view>

namespace OrvaneLib {
namespace {

// What each special character finally becomes after the five passes
// (" -> &quot;, & -> &amp;, ' -> &apos;, < -> &lt;, > -> &gt;, in that order).
// Only the ampersand pass sees an earlier pass's output, the "&" of &quot;.
// Empty for every other character.
std::string_view Replacement(char c) {
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
            return {};
    }
}

}  // namespace

// Two scans: the first sizes the result, the second writes it, so the
// result is allocated once however many characters grow.
void XmlEscape(std::string& text) {
    std::size_t escapedSize = 0;
    for (const char c : text) {
        const std::size_t grown = Replacement(c).size();
        escapedSize += grown == 0 ? 1 : grown;
    }
    if (escapedSize == text.size()) return;

    std::string escaped(escapedSize, '\0');
    char* out = escaped.data();
    for (const char c : text) {
        const std::string_view entity = Replacement(c);
        if (entity.empty()) {
            *out++ = c;
        } else {
            std::memcpy(out, entity.data(), entity.size());
            out += entity.size();
        }
    }
    text.swap(escaped);
}

}  // namespace OrvaneLib
