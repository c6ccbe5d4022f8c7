#include <OrvaneLib/ResponseHandlers.h>

#include <array>
#include <cstddef>
#include <string_view>

namespace OrvaneLib {

namespace {

struct Entity {
    std::string_view tail;  // the entity text after its '&'
    char character;
};

// The four entities decoded after "&amp;". None of their tails holds '&',
// '\'', '<', '>' or '"', so decoding one can never form another.
constexpr std::array<Entity, 4> kOtherEntities{{
    {"apos;", '\''},
    {"gt;", '>'},
    {"lt;", '<'},
    {"quot;", '"'},
}};

constexpr std::string_view kAmpTail = "amp;";

bool StartsWith(std::string_view text, std::size_t at, std::string_view part) {
    return text.compare(at, part.size(), part) == 0;
}

// The entity among the four whose tail starts at `at`, if any.
const Entity* OtherEntityAt(std::string_view text, std::size_t at) {
    for (const Entity& entity : kOtherEntities) {
        if (StartsWith(text, at, entity.tail)) return &entity;
    }
    return nullptr;
}

}  // namespace

// One left-to-right pass with the result of five whole-text passes ("&amp;",
// then "&apos;", "&gt;", "&lt;", "&quot;"). Pass one never decodes the '&'
// it has just produced, but that '&' may start one of the other four
// entities, which the later passes do decode: "&amp;lt;" ends as "<", while
// "&amp;amp;" ends as "&amp;". The result is never longer than the text, so
// it is written over the text as the scan goes.
void XmlUnescape(std::string& text) {
    const std::string_view source = text;
    std::size_t write = 0;
    std::size_t read = 0;
    while (read < source.size()) {
        if (source[read] != '&') {
            text[write++] = source[read++];
            continue;
        }
        const std::size_t afterAmpersand = read + 1;
        if (StartsWith(source, afterAmpersand, kAmpTail)) {
            const std::size_t afterAmp = afterAmpersand + kAmpTail.size();
            if (const Entity* entity = OtherEntityAt(source, afterAmp)) {
                text[write++] = entity->character;
                read = afterAmp + entity->tail.size();
            } else {
                text[write++] = '&';
                read = afterAmp;
            }
        } else if (const Entity* entity = OtherEntityAt(source, afterAmpersand)) {
            text[write++] = entity->character;
            read = afterAmpersand + entity->tail.size();
        } else {
            text[write++] = source[read++];
        }
    }
    text.resize(write);
}

}  // namespace OrvaneLib
