#include <OrvaneLib/Signing.h>

// Base64 with the standard alphabet of RFC 4648, section 4.
namespace OrvaneLib {

std::string Base64Encode(const unsigned char* bytes, std::size_t length) {
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

    std::string text;
    text.reserve((length + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= length; i += 3) {
        const std::uint32_t group = (std::uint32_t{bytes[i]} << 16) | (std::uint32_t{bytes[i + 1]} << 8) |
                                    std::uint32_t{bytes[i + 2]};
        text += alphabet[(group >> 18) & 0x3F];
        text += alphabet[(group >> 12) & 0x3F];
        text += alphabet[(group >> 6) & 0x3F];
        text += alphabet[group & 0x3F];
    }

    // The last one or two bytes, filled with zero bits, then "=" padding.
    const std::size_t left = length - i;
    if (left == 1) {
        const std::uint32_t group = std::uint32_t{bytes[i]} << 16;
        text += alphabet[(group >> 18) & 0x3F];
        text += alphabet[(group >> 12) & 0x3F];
        text += "==";
    } else if (left == 2) {
        const std::uint32_t group = (std::uint32_t{bytes[i]} << 16) | (std::uint32_t{bytes[i + 1]} << 8);
        text += alphabet[(group >> 18) & 0x3F];
        text += alphabet[(group >> 12) & 0x3F];
        text += alphabet[(group >> 6) & 0x3F];
        text += '=';
    }
    return text;
}

}  // namespace OrvaneLib
