#pragma once

// The identity services on Linux: the resolver, the interface table for the
// ARP and SNMP routes, uname, the environment and the user database.

#include "IdentityLayer.h"

#include <string>

namespace OrvaneIdentity {

class LinuxIdentityLayer final : public IdentityLayer {
public:
    // The kernel's major version, so the ARP route is taken.
    std::uint32_t GetMajorVersion() override;
    // There is no socket library to start on Linux.
    int StartSockets(std::uint16_t version) override;
    void CleanupSockets() override;
    int GetHostName(char* buffer, std::size_t size) override;
    std::optional<std::uint32_t> ResolveFirstIPv4(const char* hostName) override;
    std::uint32_t SendArp(std::uint32_t destination, std::uint32_t source, void* macAddress,
                          std::uint32_t& length) override;
    std::unique_ptr<SnmpExtensionAgent> LoadSnmpAgent() override;
    std::uint32_t GetTickCount() override;
    std::optional<std::string> GetEnvironmentVariable(const char* name) override;
    // The account that runs the process (effective user), by the user database.
    bool GetUserName(char* buffer, std::uint32_t& size) override;
    // The host name; one that does not fit with its terminator is a failure.
    bool GetComputerName(char* buffer, std::uint32_t& size) override;
};

// The major number at the start of a kernel release text ("6.1.0-18-amd64"
// gives 6); 0 when it does not start with one.
std::uint32_t MajorVersionFromRelease(const char* release);

// Copies name and its terminator into buffer when they fit in size bytes and
// sets size to the name's length; otherwise returns false and leaves buffer
// untouched.
bool CopyNameIfItFits(const std::string& name, char* buffer, std::uint32_t& size);

}  // namespace OrvaneIdentity
