#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace OrvaneLib {

inline char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Compares two texts byte for byte, treating the ASCII letters A-Z and a-z
// as equal; every other byte must match exactly. Inline: the reply handlers
// call it for every tag of a reply.
inline bool EqualsIgnoreAsciiCase(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (ToLowerAscii(left[i]) != ToLowerAscii(right[i])) return false;
    }
    return true;
}

// Turns a-z into A-Z in place; every other byte stays.
void UpperCaseAscii(std::string& text);

// Whether the NUL-terminated `name` equals `lowerCaseName` without regard to
// ASCII case; `lowerCaseName` holds no upper-case letter and no NUL. Reads
// `name` only as far as the first difference, so no length is needed.
inline bool NameEqualsIgnoreAsciiCase(const char* name, std::string_view lowerCaseName) {
    for (const char expected : lowerCaseName) {
        if (ToLowerAscii(*name) != expected) return false;
        ++name;
    }
    return *name == '\0';
}

// The element whose name is `name`, compared without regard to ASCII case;
// `names` lists the element names, in lower case, in the order of the
// enumeration `Element`.
template <typename Element, std::size_t Count>
std::optional<Element> FindElement(const std::array<std::string_view, Count>& names, const char* name) {
    for (std::size_t i = 0; i < Count; ++i) {
        if (NameEqualsIgnoreAsciiCase(name, names[i])) return static_cast<Element>(i);
    }
    return std::nullopt;
}

}  // namespace OrvaneLib
