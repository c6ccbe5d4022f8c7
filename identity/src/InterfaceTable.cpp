#include "InterfaceTable.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

namespace OrvaneIdentity {
namespace {

// Kernel link types (include/uapi/linux/if_arp.h).
constexpr long kArphrdEther = 1;
constexpr long kArphrdInfiniband = 32;
constexpr long kArphrdPpp = 512;
constexpr long kArphrdTunnel = 768;
constexpr long kArphrdTunnel6 = 769;
constexpr long kArphrdLoopback = 772;
constexpr long kArphrdSit = 776;
constexpr long kArphrdIpGre = 778;
constexpr long kArphrdIeee80211 = 801;

constexpr long kIffUp = 0x1;

std::optional<std::string> ReadFirstLine(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::string line;
    if (!file || !std::getline(file, line)) return std::nullopt;
    return line;
}

// The whole text as a number in the given base; nothing when it is not one.
std::optional<long> ParseNumber(const std::string& text, int base) {
    if (text.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, base);
    if (errno != 0 || end != text.c_str() + text.size()) return std::nullopt;
    return value;
}

std::optional<long> ReadNumber(const std::filesystem::path& path, int base = 10) {
    const auto line = ReadFirstLine(path);
    if (!line) return std::nullopt;
    return ParseNumber(*line, base);
}

// RFC 2863 ifOperStatus for the kernel's operstate text.
std::int32_t OperStatusFromText(const std::string& state) {
    static const std::pair<const char*, std::int32_t> kStates[] = {
        {"up", 1},      {"down", 2},       {"testing", 3},        {"unknown", 4},
        {"dormant", 5}, {"notpresent", 6}, {"lowerlayerdown", 7},
    };
    for (const auto& [text, status] : kStates) {
        if (state == text) return status;
    }
    return 4;
}

// The kernel reports megabits per second, or -1 (or an error) when unknown.
std::uint32_t SpeedInBitsPerSecond(std::optional<long> megabits) {
    if (!megabits || *megabits <= 0) return 0;
    constexpr long long kMax = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(std::min<long long>(*megabits * 1000000LL, kMax));
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    const int lower = std::tolower(static_cast<unsigned char>(c));
    if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
    return -1;
}

}  // namespace

std::int32_t IfTypeFromLinkType(long linkType) {
    switch (linkType) {
        case kArphrdEther: return kIfTypeEthernetCsmacd;
        case kArphrdInfiniband: return kIfTypeInfiniband;
        case kArphrdPpp: return kIfTypePpp;
        case kArphrdTunnel:
        case kArphrdTunnel6:
        case kArphrdSit:
        case kArphrdIpGre: return kIfTypeTunnel;
        case kArphrdLoopback: return kIfTypeSoftwareLoopback;
        case kArphrdIeee80211: return kIfTypeIeee80211;
        default: return kIfTypeOther;
    }
}

std::vector<std::uint8_t> ParseHardwareAddress(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    std::size_t position = 0;
    while (position < text.size()) {
        if (position + 2 > text.size()) return {};
        const int high = HexDigitValue(text[position]);
        const int low = HexDigitValue(text[position + 1]);
        if (high < 0 || low < 0) return {};
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        position += 2;
        if (position == text.size()) break;
        if (text[position] != ':' || position + 1 == text.size()) return {};
        ++position;
    }
    return bytes;
}

std::optional<InterfaceRow> ReadInterface(const std::string& sysClassNet, const std::string& name) {
    const std::filesystem::path folder = std::filesystem::path(sysClassNet) / name;
    const auto index = ReadNumber(folder / "ifindex");
    if (!index || *index <= 0 || *index > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }

    InterfaceRow row;
    row.index = static_cast<std::uint32_t>(*index);
    row.name = name;
    row.type = IfTypeFromLinkType(ReadNumber(folder / "type").value_or(-1));
    const long mtu = ReadNumber(folder / "mtu").value_or(0);
    row.mtu = mtu > 0 && mtu <= std::numeric_limits<std::int32_t>::max()
                  ? static_cast<std::int32_t>(mtu)
                  : 0;
    row.speed = SpeedInBitsPerSecond(ReadNumber(folder / "speed"));
    row.physAddress = ParseHardwareAddress(ReadFirstLine(folder / "address").value_or(""));
    row.adminStatus = (ReadNumber(folder / "flags", 16).value_or(0) & kIffUp) != 0 ? 1 : 2;
    row.operStatus = OperStatusFromText(ReadFirstLine(folder / "operstate").value_or(""));
    return row;
}

std::vector<InterfaceRow> ReadInterfaceTable(const std::string& sysClassNet) {
    std::vector<InterfaceRow> rows;
    std::error_code error;
    for (std::filesystem::directory_iterator it(sysClassNet, error), end; !error && it != end;
         it.increment(error)) {
        if (auto row = ReadInterface(sysClassNet, it->path().filename().string())) {
            rows.push_back(std::move(*row));
        }
    }
    std::sort(rows.begin(), rows.end(),
              [](const InterfaceRow& a, const InterfaceRow& b) { return a.index < b.index; });
    return rows;
}

}  // namespace OrvaneIdentity
