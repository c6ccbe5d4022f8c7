#include "ArpFromInterfaceTable.h"

#include "IdentityLayer.h"

#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>
#include <memory>

namespace OrvaneIdentity {
namespace {

using InterfaceAddresses = std::unique_ptr<ifaddrs, void (*)(ifaddrs*)>;

// getifaddrs names an address alias "eth0:1"; the interface is "eth0"
// (a colon cannot appear in an interface name).
std::string InterfaceNameFromLabel(const char* label) {
    const std::string name(label);
    return name.substr(0, name.find(':'));
}

}  // namespace

std::string FindInterfaceHoldingAddress(std::uint32_t address) {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return {};
    const InterfaceAddresses owner(list, &freeifaddrs);
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET ||
            entry->ifa_name == nullptr) {
            continue;
        }
        sockaddr_in inet{};
        std::memcpy(&inet, entry->ifa_addr, sizeof inet);
        if (inet.sin_addr.s_addr == address) return InterfaceNameFromLabel(entry->ifa_name);
    }
    return {};
}

std::uint32_t AnswerArpForInterface(const std::string& sysClassNet,
                                    const std::string& interfaceName, void* macAddress,
                                    std::uint32_t& length) {
    if (macAddress == nullptr) return kArpErrorInvalidParameter;
    const auto row = ReadInterface(sysClassNet, interfaceName);
    if (!row) return kArpErrorBadNetName;
    if (row->type == kIfTypeSoftwareLoopback || row->physAddress.empty()) return kArpErrorNotFound;
    if (row->physAddress.size() > length) return kArpErrorBufferOverflow;
    std::memcpy(macAddress, row->physAddress.data(), row->physAddress.size());
    length = static_cast<std::uint32_t>(row->physAddress.size());
    return kNoError;
}

std::uint32_t SendArpFromInterfaceTable(std::uint32_t destination, void* macAddress,
                                        std::uint32_t& length, const std::string& sysClassNet) {
    const std::string interfaceName = FindInterfaceHoldingAddress(destination);
    if (interfaceName.empty()) return kArpErrorBadNetName;
    return AnswerArpForInterface(sysClassNet, interfaceName, macAddress, length);
}

}  // namespace OrvaneIdentity
