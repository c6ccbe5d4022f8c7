#pragma once

// ARP requests answered from the interface table: the hardware address of
// the local interface that holds the requested IPv4 address.

#include "InterfaceTable.h"

#include <cstdint>
#include <string>

namespace OrvaneIdentity {

// Error codes of the ARP route.
inline constexpr std::uint32_t kArpErrorBufferOverflow = 111;
inline constexpr std::uint32_t kArpErrorBadNetName = 67;  // no interface holds the address
inline constexpr std::uint32_t kArpErrorInvalidParameter = 87;
inline constexpr std::uint32_t kArpErrorNotFound = 1168;  // the interface has no hardware address

// The name (as in /sys/class/net) of the local interface holding the IPv4
// address in network byte order; empty when none holds it.
std::string FindInterfaceHoldingAddress(std::uint32_t address);

// The named interface's hardware address into macAddress. length holds the
// room on entry and the bytes written on success. Loopback interfaces and
// interfaces without a hardware address have none to give.
std::uint32_t AnswerArpForInterface(const std::string& sysClassNet,
                                    const std::string& interfaceName, void* macAddress,
                                    std::uint32_t& length);

std::uint32_t SendArpFromInterfaceTable(std::uint32_t destination, void* macAddress,
                                        std::uint32_t& length,
                                        const std::string& sysClassNet = kSysClassNet);

}  // namespace OrvaneIdentity
