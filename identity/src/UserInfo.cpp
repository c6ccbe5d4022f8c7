#include <OrvaneLib/UserInfo.h>

#include "LinuxIdentityLayer.h"
#include "UserInfoRetrieval.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>

UserInfo::UserInfo()
    : ipAddress{},
      macAddress{},
      proxyServer(nullptr),
      proxyPort(nullptr),
      proxyUser(nullptr),
      proxyPassword(nullptr),
      userName(nullptr),
      workstationName(nullptr) {}

UserInfo::~UserInfo() {
    delete[] proxyServer;
    delete[] proxyPort;
    delete[] proxyUser;
    delete[] proxyPassword;
    delete[] userName;
    delete[] workstationName;
}

bool UserInfo::Retrieve() {
    OrvaneIdentity::LinuxIdentityLayer layer;
    return OrvaneIdentity::RetrieveUserInfo(*this, layer);
}

namespace OrvaneIdentity {
namespace {

constexpr std::uint16_t kSocketVersion22 = 0x0202;
constexpr std::uint32_t kFirstVersionWithArp = 5;

// Shuts the socket library down when the address lookups end, on every path.
class SocketSession {
public:
    explicit SocketSession(IdentityLayer& layer) : layer_(layer) {}
    ~SocketSession() { layer_.CleanupSockets(); }
    SocketSession(const SocketSession&) = delete;
    SocketSession& operator=(const SocketSession&) = delete;

private:
    IdentityLayer& layer_;
};

// Replaces an owned text with a copy of the first length bytes of text.
// Releasing the old copy keeps a second Retrieve on one object from leaking.
void StoreCopy(char*& field, const char* text, std::size_t length) {
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    delete[] field;
    field = copy;
}

void StoreBuffer(char*& field, const char* buffer, std::size_t size) {
    StoreCopy(field, buffer, strnlen(buffer, size));
}

// A copy of the variable's value, or null when it is not set.
void StoreEnvironmentVariable(IdentityLayer& layer, const char* name, char*& field) {
    const auto value = layer.GetEnvironmentVariable(name);
    if (!value) {
        delete[] field;
        field = nullptr;
        return;
    }
    StoreCopy(field, value->c_str(), value->size());
}

void FillIpAddress(IdentityLayer& layer, char (&ipAddress)[16]) {
    std::fill(std::begin(ipAddress), std::end(ipAddress), '\0');
    char hostName[260] = {};
    if (layer.GetHostName(hostName, sizeof hostName) != 0) return;
    hostName[sizeof hostName - 1] = '\0';
    const auto address = layer.ResolveFirstIPv4(hostName);
    if (!address) return;
    in_addr inAddress{};
    inAddress.s_addr = *address;
    static_assert(sizeof ipAddress >= INET_ADDRSTRLEN, "room for any dotted IPv4 text");
    if (inet_ntop(AF_INET, &inAddress, ipAddress, sizeof ipAddress) == nullptr) {
        ipAddress[0] = '\0';
    }
}

// The address's characters without the dots, terminated: 10.1.2.3 gives 10123.
void CopyAddressDigits(const char (&ipAddress)[16], char (&macAddress)[13]) {
    std::size_t written = 0;
    for (const char c : ipAddress) {
        if (written == sizeof macAddress) break;
        if (c != '.') macAddress[written++] = c;
    }
    std::fill(macAddress + written, std::end(macAddress), '\0');
    macAddress[sizeof macAddress - 1] = '\0';
}

void FillMacAddress(IdentityLayer& layer, std::uint32_t majorVersion, const char (&ipAddress)[16],
                    char (&macAddress)[13]) {
    if (majorVersion >= kFirstVersionWithArp) {
        const std::string mac = GetMacAddressByArp(layer, ipAddress);
        if (!mac.empty()) {
            const std::size_t length = std::min(mac.size(), sizeof macAddress - 1);
            std::memcpy(macAddress, mac.data(), length);
            std::fill(macAddress + length, std::end(macAddress), '\0');
            return;
        }
    } else if (GetMacAddressBySnmp(layer, macAddress) != 0) {
        return;
    }
    CopyAddressDigits(ipAddress, macAddress);
}

// Rows whose address begins with one of these are passed over: they are
// placeholders that software adapters (dial-up, VPN) report, not a card's.
struct AddressPrefix {
    std::uint8_t bytes[6];
    std::size_t length;
};
constexpr AddressPrefix kIgnoredAddressPrefixes[] = {
    {{0x44, 0x45, 0x53, 0x54}, 4},  // "DEST"
    {{0x00, 0x03, 0x8A, 0x00, 0x00}, 5}, {{0x20, 0x00, 0x00, 0x00}, 4},
    {{0xB8, 0xF3, 0x68, 0x00}, 4},       {{0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, 6},
};
constexpr std::size_t kEthernetAddressLength = 6;

bool IsIgnoredAddress(const std::uint8_t* address) {
    return std::any_of(std::begin(kIgnoredAddressPrefixes), std::end(kIgnoredAddressPrefixes),
                       [address](const AddressPrefix& prefix) {
                           return std::memcmp(address, prefix.bytes, prefix.length) == 0;
                       });
}

// MIB-II interface table columns (RFC 1213): ifType and ifPhysAddress.
constexpr std::uint32_t kColumnIdLength = 10;
constexpr std::uint32_t kIfTypeColumn[kColumnIdLength] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 3};
constexpr std::uint32_t kIfPhysAddressColumn[kColumnIdLength] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 6};
constexpr std::int32_t kEthernetCsmacd = 6;

bool IsInColumn(const AsnObjectIdentifier& name, const std::uint32_t (&column)[kColumnIdLength]) {
    return name.ids != nullptr && name.idLength >= kColumnIdLength &&
           std::equal(std::begin(column), std::end(column), name.ids);
}

// The two bindings handed to the agent. The agent replaces their names as it
// answers; whatever names they hold at the end are freed here, on every path.
class InterfaceTableBindings {
public:
    InterfaceTableBindings() {
        try {
            SetName(bindings_[0].name, kIfTypeColumn);
            SetName(bindings_[1].name, kIfPhysAddressColumn);
        } catch (...) {
            FreeNames();
            throw;
        }
    }
    ~InterfaceTableBindings() { FreeNames(); }
    InterfaceTableBindings(const InterfaceTableBindings&) = delete;
    InterfaceTableBindings& operator=(const InterfaceTableBindings&) = delete;

    SnmpVarBindList* List() { return &list_; }
    const SnmpVarBind& Type() const { return bindings_[0]; }
    const SnmpVarBind& PhysAddress() const { return bindings_[1]; }

private:
    void FreeNames() {
        for (SnmpVarBind& binding : bindings_) FreeSubIdentifiers(binding.name.ids);
    }
    static void SetName(AsnObjectIdentifier& name, const std::uint32_t (&column)[kColumnIdLength]) {
        name.ids = AllocateSubIdentifiers(kColumnIdLength);
        name.idLength = kColumnIdLength;
        std::copy(std::begin(column), std::end(column), name.ids);
    }

    SnmpVarBind bindings_[2] = {};
    SnmpVarBindList list_{bindings_, 2};
};

}  // namespace

std::string GetMacAddressByArp(IdentityLayer& layer, const char* ipText) {
    std::string result;
    if (ipText == nullptr || *ipText == '\0') return result;

    in_addr destination{};
    if (inet_pton(AF_INET, ipText, &destination) != 1) return result;
    unsigned char mac[8];
    std::fill(std::begin(mac), std::end(mac), 0xFF);
    const std::uint32_t room = kEthernetAddressLength;
    std::uint32_t length = room;
    if (layer.SendArp(destination.s_addr, 0, mac, length) != kNoError || length == 0) return result;
    // More than the room we gave cannot be real; never read past it.
    if (length > room) return result;

    for (std::uint32_t i = 0; i < length; ++i) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", mac[i]);
        result += digits;
    }
    return result;
}

int GetMacAddressBySnmp(IdentityLayer& layer, char (&out)[13]) {
    const std::unique_ptr<SnmpExtensionAgent> agent = layer.LoadSnmpAgent();
    if (!agent) return 0;
    void* trapEvent = nullptr;
    AsnObjectIdentifier supportedView;
    agent->Init(layer.GetTickCount(), &trapEvent, &supportedView);

    char found[13] = {};
    bool formatted = false;
    {
        InterfaceTableBindings bindings;
        std::int32_t errorStatus = kSnmpErrorNoError;
        std::int32_t errorIndex = 0;
        while (agent->Query(kSnmpPduGetNext, bindings.List(), &errorStatus, &errorIndex)) {
            const SnmpVarBind& type = bindings.Type();
            if (!IsInColumn(type.name, kIfTypeColumn)) break;
            if (type.value.asnType != kAsnInteger ||
                type.value.asnValue.number != kEthernetCsmacd) {
                continue;
            }
            const SnmpVarBind& physAddress = bindings.PhysAddress();
            if (!IsInColumn(physAddress.name, kIfPhysAddressColumn)) break;
            if (physAddress.value.asnType != kAsnOctetString) continue;
            const AsnOctetString& address = physAddress.value.asnValue.string;
            if (address.stream == nullptr || address.length == 0) continue;
            // Shorter than an Ethernet address: not a usable card address.
            if (address.length < kEthernetAddressLength) continue;
            if (IsIgnoredAddress(address.stream)) continue;

            const std::uint8_t* a = address.stream;
            std::snprintf(found, sizeof found, "%02x%02x%02x%02x%02x%02x", a[0], a[1], a[2], a[3],
                          a[4], a[5]);
            formatted = true;
            break;
        }
    }

    if (!formatted) return 0;
    std::memcpy(out, found, sizeof found);
    return 1;
}

bool RetrieveUserInfo(UserInfo& info, IdentityLayer& layer) {
    const std::uint32_t majorVersion = layer.GetMajorVersion();
    if (layer.StartSockets(kSocketVersion22) != 0) return false;

    {
        const SocketSession sockets(layer);
        FillIpAddress(layer, info.ipAddress);
        FillMacAddress(layer, majorVersion, info.ipAddress, info.macAddress);
    }

    StoreEnvironmentVariable(layer, "PROXY_SERVER", info.proxyServer);
    StoreEnvironmentVariable(layer, "PROXY_PORT", info.proxyPort);
    StoreEnvironmentVariable(layer, "PROXY_USER", info.proxyUser);
    StoreEnvironmentVariable(layer, "PROXY_PASSWORD", info.proxyPassword);

    char user[260] = {};
    std::uint32_t userSize = sizeof user;
    layer.GetUserName(user, userSize);
    char computer[16] = {};
    std::uint32_t computerSize = sizeof computer;
    layer.GetComputerName(computer, computerSize);
    StoreBuffer(info.userName, user, sizeof user);
    StoreBuffer(info.workstationName, computer, sizeof computer);
    return true;
}

}  // namespace OrvaneIdentity
