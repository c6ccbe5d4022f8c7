#pragma once

// The machine's network interfaces as rows of the MIB-II interface table
// (RFC 1213 ifTable), read from the kernel's /sys/class/net.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace OrvaneIdentity {

inline constexpr char kSysClassNet[] = "/sys/class/net";

// Interface types (IANAifType) that the kernel's link types map to.
inline constexpr std::int32_t kIfTypeOther = 1;
inline constexpr std::int32_t kIfTypeEthernetCsmacd = 6;
inline constexpr std::int32_t kIfTypePpp = 23;
inline constexpr std::int32_t kIfTypeSoftwareLoopback = 24;
inline constexpr std::int32_t kIfTypeIeee80211 = 71;
inline constexpr std::int32_t kIfTypeTunnel = 131;
inline constexpr std::int32_t kIfTypeInfiniband = 199;

struct InterfaceRow {
    std::uint32_t index = 0;                // ifIndex
    std::string name;                       // ifDescr
    std::int32_t type = kIfTypeOther;       // ifType
    std::int32_t mtu = 0;                   // ifMtu
    std::uint32_t speed = 0;                // ifSpeed, bits per second; 0 when unknown
    std::vector<std::uint8_t> physAddress;  // ifPhysAddress
    std::int32_t adminStatus = 2;           // ifAdminStatus: 1 up, 2 down
    std::int32_t operStatus = 4;            // ifOperStatus: 4 unknown
};

// ifType for a kernel link type (ARPHRD_*, the interface's `type` file).
std::int32_t IfTypeFromLinkType(long linkType);

// "aa:bb:cc:dd:ee:ff" as bytes; empty for an empty or malformed text.
std::vector<std::uint8_t> ParseHardwareAddress(const std::string& text);

// One interface by name; nothing when sysClassNet holds no such interface.
std::optional<InterfaceRow> ReadInterface(const std::string& sysClassNet, const std::string& name);

// Every interface, in ifIndex order.
std::vector<InterfaceRow> ReadInterfaceTable(const std::string& sysClassNet = kSysClassNet);

}  // namespace OrvaneIdentity
