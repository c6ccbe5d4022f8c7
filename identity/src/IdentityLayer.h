#pragma once

// The operating-system services that the workstation identity needs, each
// reduced to what UserInfo relies on. Addresses are IPv4 addresses in network
// byte order. LinuxIdentityLayer is the real one; tests supply fakes.

#include "SnmpExtensionAgent.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace OrvaneIdentity {

inline constexpr std::uint32_t kNoError = 0;

class IdentityLayer {
public:
    virtual ~IdentityLayer() = default;

    // The operating system's major version number; 0 when it cannot be read.
    virtual std::uint32_t GetMajorVersion() = 0;

    // Socket library start (0 on success) and shutdown.
    virtual int StartSockets(std::uint16_t version) = 0;
    virtual void CleanupSockets() = 0;

    // Writes the NUL-terminated host name into buffer; 0 on success.
    virtual int GetHostName(char* buffer, std::size_t size) = 0;

    // The first IPv4 address that hostName resolves to, or nothing.
    virtual std::optional<std::uint32_t> ResolveFirstIPv4(const char* hostName) = 0;

    // Hardware address for destination. length holds the room in macAddress
    // on entry and the number of bytes written on success. kNoError on
    // success, an error code otherwise.
    virtual std::uint32_t SendArp(std::uint32_t destination, std::uint32_t source, void* macAddress,
                                  std::uint32_t& length) = 0;

    // Loads the interface-table SNMP agent; null when it is not available.
    virtual std::unique_ptr<SnmpExtensionAgent> LoadSnmpAgent() = 0;

    // Milliseconds since an arbitrary start, wrapping at 2^32.
    virtual std::uint32_t GetTickCount() = 0;

    // The value of an environment variable, or nothing when it is not set.
    virtual std::optional<std::string> GetEnvironmentVariable(const char* name) = 0;

    // Write the NUL-terminated account name or computer name into buffer.
    // size holds the room on entry and the length written on success. On
    // failure they return false and leave buffer untouched.
    virtual bool GetUserName(char* buffer, std::uint32_t& size) = 0;
    virtual bool GetComputerName(char* buffer, std::uint32_t& size) = 0;
};

}  // namespace OrvaneIdentity
