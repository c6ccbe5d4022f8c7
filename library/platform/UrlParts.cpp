#include "UrlParts.h"

#include <cstddef>
#include <string_view>

namespace OrvaneLib {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSchemeCharacter(char c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '+' || c == '-' || c == '.';
}

int HexValue(char c) {
    if (IsAsciiDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Decodes every well-formed %XX; a "%" not followed by two hex digits stays.
std::string PercentDecode(const std::string& text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

// Letters, digits, "-", "." and "_", plus bytes above 127 for
// internationalised names.
bool IsHostNameCharacter(char c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '-' || c == '.' || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool IsValidRegisteredName(const std::string& host) {
    if (host.empty()) return false;
    for (char c : host) {
        if (!IsHostNameCharacter(c)) return false;
    }
    return true;
}

bool IsValidIpv6Literal(const std::string& address) {
    if (address.empty()) return false;
    for (char c : address) {
        if (HexValue(c) < 0 && c != ':' && c != '.') return false;
    }
    return true;
}

bool IsValidPort(const std::string& port) {
    for (char c : port) {
        if (!IsAsciiDigit(c)) return false;
    }
    return true;
}

}  // namespace

std::optional<UrlComponents> SplitUrl(const std::string& url) {
    const std::size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string::npos || schemeEnd == 0 || !IsAsciiLetter(url[0])) return std::nullopt;
    for (std::size_t i = 0; i < schemeEnd; ++i) {
        if (!IsSchemeCharacter(url[i])) return std::nullopt;
    }

    const std::size_t authorityBegin = schemeEnd + 3;
    std::size_t authorityEnd = url.find_first_of("/?#", authorityBegin);
    if (authorityEnd == std::string::npos) authorityEnd = url.size();
    std::string authority = url.substr(authorityBegin, authorityEnd - authorityBegin);

    const std::size_t userInfoEnd = authority.rfind('@');
    if (userInfoEnd != std::string::npos) authority.erase(0, userInfoEnd + 1);

    UrlComponents components;
    std::string port;
    if (!authority.empty() && authority[0] == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string::npos) return std::nullopt;
        components.hostName = authority.substr(1, close - 1);
        if (!IsValidIpv6Literal(components.hostName)) return std::nullopt;
        const std::string rest = authority.substr(close + 1);
        if (!rest.empty() && rest[0] != ':') return std::nullopt;
        if (!rest.empty()) port = rest.substr(1);
    } else {
        const std::size_t colon = authority.find(':');
        components.hostName = PercentDecode(authority.substr(0, colon));
        if (!IsValidRegisteredName(components.hostName)) return std::nullopt;
        if (colon != std::string::npos) port = authority.substr(colon + 1);
    }
    if (!IsValidPort(port)) return std::nullopt;

    const std::size_t fragment = url.find('#', authorityEnd);
    const std::size_t pathEnd = fragment == std::string::npos ? url.size() : fragment;
    components.urlPath = PercentDecode(url.substr(authorityEnd, pathEnd - authorityEnd));
    return components;
}

bool IsValidHostName(const std::string& host) {
    const bool ipv6 = host.find(':') != std::string::npos;
    return ipv6 ? IsValidIpv6Literal(host) : IsValidRegisteredName(host);
}

std::string EncodeUrlPath(const std::string& path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    static constexpr char kAllowed[] = "-._~!$&'()*+,;=:@/?";
    std::string encoded;
    encoded.reserve(path.size());
    for (char c : path) {
        const bool allowed = IsAsciiLetter(c) || IsAsciiDigit(c) ||
                             (c != '\0' && std::string_view(kAllowed).find(c) != std::string_view::npos);
        if (allowed) {
            encoded += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        }
    }
    return encoded;
}

}  // namespace OrvaneLib
