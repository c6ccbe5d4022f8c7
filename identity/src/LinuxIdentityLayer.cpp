#include "LinuxIdentityLayer.h"

#include "ArpFromInterfaceTable.h"
#include "InterfaceTableAgent.h"

#include <netdb.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace OrvaneIdentity {

namespace {
constexpr std::size_t kMaxUserEntrySize = 1 << 20;
}  // namespace

std::uint32_t MajorVersionFromRelease(const char* release) {
    std::uint32_t major = 0;
    for (const char* c = release; std::isdigit(static_cast<unsigned char>(*c)) != 0; ++c) {
        if (major > 100000) return 0;  // not a version number
        major = major * 10 + static_cast<std::uint32_t>(*c - '0');
    }
    return major;
}

bool CopyNameIfItFits(const std::string& name, char* buffer, std::uint32_t& size) {
    if (buffer == nullptr || name.size() >= size) return false;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    size = static_cast<std::uint32_t>(name.size());
    return true;
}

std::uint32_t LinuxIdentityLayer::GetMajorVersion() {
    utsname system{};
    if (uname(&system) != 0) return 0;
    return MajorVersionFromRelease(system.release);
}

int LinuxIdentityLayer::StartSockets(std::uint16_t /*version*/) { return 0; }

void LinuxIdentityLayer::CleanupSockets() {}

int LinuxIdentityLayer::GetHostName(char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0 || gethostname(buffer, size) != 0) return -1;
    buffer[size - 1] = '\0';  // a truncated name need not be terminated
    return 0;
}

std::optional<std::uint32_t> LinuxIdentityLayer::ResolveFirstIPv4(const char* hostName) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;  // one entry per address
    addrinfo* list = nullptr;
    if (hostName == nullptr || getaddrinfo(hostName, nullptr, &hints, &list) != 0)
        return std::nullopt;
    const std::unique_ptr<addrinfo, void (*)(addrinfo*)> owner(list, &freeaddrinfo);
    for (const addrinfo* entry = list; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addr != nullptr &&
            entry->ai_addrlen >= sizeof(sockaddr_in)) {
            sockaddr_in inet{};
            std::memcpy(&inet, entry->ai_addr, sizeof inet);
            return inet.sin_addr.s_addr;
        }
    }
    return std::nullopt;
}

std::uint32_t LinuxIdentityLayer::SendArp(std::uint32_t destination, std::uint32_t /*source*/,
                                          void* macAddress, std::uint32_t& length) {
    return SendArpFromInterfaceTable(destination, macAddress, length);
}

std::unique_ptr<SnmpExtensionAgent> LinuxIdentityLayer::LoadSnmpAgent() {
    return std::make_unique<InterfaceTableAgent>();
}

std::uint32_t LinuxIdentityLayer::GetTickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const auto milliseconds = static_cast<unsigned long long>(now.tv_sec) * 1000ULL +
                              static_cast<unsigned long long>(now.tv_nsec / 1000000);
    return static_cast<std::uint32_t>(milliseconds);  // wraps, as a tick count does
}

std::optional<std::string> LinuxIdentityLayer::GetEnvironmentVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

bool LinuxIdentityLayer::GetUserName(char* buffer, std::uint32_t& size) {
    const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> scratch(suggested > 0 ? static_cast<std::size_t>(suggested) : 1024);
    passwd entry{};
    passwd* found = nullptr;
    int error = 0;
    // The entry's texts live in scratch; grow it while the entry does not fit.
    while ((error = getpwuid_r(geteuid(), &entry, scratch.data(), scratch.size(), &found)) ==
               ERANGE &&
           scratch.size() < kMaxUserEntrySize) {
        scratch.resize(scratch.size() * 2);
    }
    if (error != 0 || found == nullptr || found->pw_name == nullptr) return false;
    return CopyNameIfItFits(found->pw_name, buffer, size);
}

bool LinuxIdentityLayer::GetComputerName(char* buffer, std::uint32_t& size) {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name) != 0) return false;
    name[sizeof name - 1] = '\0';
    return CopyNameIfItFits(name, buffer, size);
}

}  // namespace OrvaneIdentity
