#include <OrvaneLib/ResponseHandlers.h>

#include <cstddef>
#include <cstring>
#include <string_view>

namespace OrvaneLib {

namespace {

bool StartsWith(std::string_view text, std::size_t at, std::string_view part) {
    return text.size() - at >= part.size() && std::memcmp(text.data() + at, part.data(), part.size()) == 0;
}

// One decoded entity: the character and how many bytes of text it replaces.
struct Decoded {
    char character = 0;
    std::size_t length = 0;  // 0: no entity here
};

// The entity among "&apos;", "&gt;", "&lt;" and "&quot;" whose text after
// its '&' starts at `at`. None of these tails holds '&', '\'', '<', '>' or
// '"', so decoding one can never form another.
Decoded OtherEntityTailAt(std::string_view text, std::size_t at) {
    if (at >= text.size()) return {};
    switch (text[at]) {
        case 'a':
            return StartsWith(text, at, "apos;") ? Decoded{'\'', 5} : Decoded{};
        case 'g':
            return StartsWith(text, at, "gt;") ? Decoded{'>', 3} : Decoded{};
        case 'l':
            return StartsWith(text, at, "lt;") ? Decoded{'<', 3} : Decoded{};
        case 'q':
            return StartsWith(text, at, "quot;") ? Decoded{'"', 5} : Decoded{};
        default:
            return {};
    }
}

// What the five passes make of the entity text that starts with the '&' at
// `at`. Pass one never decodes the '&' it has just produced, but that '&'
// may start one of the other four entities, which the later passes do
// decode: "&amp;lt;" ends as "<", while "&amp;amp;" ends as "&amp;".
Decoded EntityAt(std::string_view text, std::size_t at) {
    if (StartsWith(text, at + 1, "amp;")) {
        const std::size_t afterAmp = at + 5;
        const Decoded other = OtherEntityTailAt(text, afterAmp);
        return other.length == 0 ? Decoded{'&', 5} : Decoded{other.character, 5 + other.length};
    }
    const Decoded other = OtherEntityTailAt(text, at + 1);
    return other.length == 0 ? Decoded{} : Decoded{other.character, 1 + other.length};
}

}  // namespace

// One left-to-right scan with the result of five whole-text passes
// ("&amp;", then "&apos;", "&gt;", "&lt;", "&quot;"). The result is never
// longer than the text, so it is written over the text as the scan goes:
// the bytes between two entities move down in one piece.
void XmlUnescape(std::string& text) {
    const std::string_view source = text;
    char* const out = text.data();
    std::size_t write = 0;     // end of the result so far
    std::size_t pending = 0;   // start of the bytes not yet moved into the result
    std::size_t scan = 0;
    while (scan < source.size()) {
        if (source[scan] != '&') {  // look for the next '&' only when this is none
            scan = source.find('&', scan);
            if (scan == std::string_view::npos) break;
        }
        const Decoded entity = EntityAt(source, scan);
        if (entity.length == 0) {
            ++scan;  // a plain '&', kept with the bytes around it
            continue;
        }
        std::memmove(out + write, out + pending, scan - pending);
        write += scan - pending;
        out[write++] = entity.character;
        scan += entity.length;
        pending = scan;
    }
    std::memmove(out + write, out + pending, source.size() - pending);
    text.resize(write + source.size() - pending);
}

}  // namespace OrvaneLib
