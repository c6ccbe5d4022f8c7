#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace OrvaneLib {

// Compares two texts byte for byte, treating the ASCII letters A-Z and a-z
// as equal; every other byte must match exactly.
bool EqualsIgnoreAsciiCase(std::string_view left, std::string_view right);

// Turns a-z into A-Z in place; every other byte stays.
void UpperCaseAscii(std::string& text);

// The element whose name is `name`, compared without regard to ASCII case;
// `names` lists the element names in the order of the enumeration `Element`.
template <typename Element, std::size_t Count>
std::optional<Element> FindElement(const std::array<std::string_view, Count>& names,
                                   std::string_view name) {
    for (std::size_t i = 0; i < Count; ++i) {
        if (EqualsIgnoreAsciiCase(names[i], name)) return static_cast<Element>(i);
    }
    return std::nullopt;
}

}  // namespace OrvaneLib
