#pragma once

// Scripted stand-ins for the identity layer and its SNMP agent. Every answer
// is a field the test sets; every call is recorded.

#include "IdentityLayer.h"
#include "LinuxIdentityLayer.h"

#include <arpa/inet.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace OrvaneIdentity::Testing {

using Bytes = std::vector<std::uint8_t>;
using Oid = std::vector<std::uint32_t>;

inline const Oid kIfTypeColumn{1, 3, 6, 1, 2, 1, 2, 2, 1, 3};
inline const Oid kIfPhysAddressColumn{1, 3, 6, 1, 2, 1, 2, 2, 1, 6};

inline Oid Append(Oid oid, std::uint32_t last) {
    oid.push_back(last);
    return oid;
}

// One answer of the scripted agent to a GET-NEXT request on the two bindings.
struct AgentAnswer {
    Oid typeName;
    std::uint8_t typeAsnType = kAsnInteger;
    std::int32_t type = 0;
    Oid addressName;
    std::uint8_t addressAsnType = kAsnOctetString;
    Bytes address;
};

// A row of the interface table as the agent reports it.
inline AgentAnswer Row(std::uint32_t index, std::int32_t type, Bytes address) {
    return {Append(kIfTypeColumn, index),        kAsnInteger,     type,
            Append(kIfPhysAddressColumn, index), kAsnOctetString, std::move(address)};
}

// What the scripted agent saw.
struct AgentRecord {
    bool loaded = false;
    bool unloaded = false;
    std::optional<std::uint32_t> initTick;
    int queries = 0;
    std::vector<std::uint8_t> requestTypes;
    std::vector<Oid> firstQueryNames;
};

inline Oid NameOf(const AsnObjectIdentifier& oid) { return Oid(oid.ids, oid.ids + oid.idLength); }

// Answers from its script in order, then fails. Like a real agent it
// replaces the binding names, freeing the arrays they held.
class ScriptedAgent final : public SnmpExtensionAgent {
public:
    ScriptedAgent(std::vector<AgentAnswer> script, AgentRecord& record)
        : script_(std::move(script)), record_(record) {
        record_.loaded = true;
    }
    ~ScriptedAgent() override { record_.unloaded = true; }

    bool Init(std::uint32_t timeZeroReference, void** trapEvent, AsnObjectIdentifier*) override {
        record_.initTick = timeZeroReference;
        *trapEvent = nullptr;
        return true;
    }

    bool Query(std::uint8_t requestType, SnmpVarBindList* bindings, std::int32_t* errorStatus,
               std::int32_t* errorIndex) override {
        if (record_.queries++ == 0) {
            for (std::uint32_t i = 0; i < bindings->len; ++i) {
                record_.firstQueryNames.push_back(NameOf(bindings->list[i].name));
            }
        }
        record_.requestTypes.push_back(requestType);
        if (next_ == script_.size() || bindings->len != 2) {
            *errorStatus = kSnmpErrorNoSuchName;
            *errorIndex = 1;
            return false;
        }
        const AgentAnswer& answer = script_[next_++];
        SetName(bindings->list[0].name, answer.typeName);
        bindings->list[0].value.asnType = answer.typeAsnType;
        bindings->list[0].value.asnValue.number = answer.type;
        SetName(bindings->list[1].name, answer.addressName);
        bindings->list[1].value.asnType = answer.addressAsnType;
        bindings->list[1].value.asnValue.string.stream = answer.address.data();
        bindings->list[1].value.asnValue.string.length =
            static_cast<std::uint32_t>(answer.address.size());
        *errorStatus = kSnmpErrorNoError;
        *errorIndex = 0;
        return true;
    }

private:
    static void SetName(AsnObjectIdentifier& name, const Oid& value) {
        FreeSubIdentifiers(name.ids);
        name.ids = AllocateSubIdentifiers(static_cast<std::uint32_t>(value.size()));
        std::copy(value.begin(), value.end(), name.ids);
        name.idLength = static_cast<std::uint32_t>(value.size());
    }

    std::vector<AgentAnswer> script_;
    std::size_t next_ = 0;
    AgentRecord& record_;
};

inline std::uint32_t AddressOf(const char* dotted) {
    in_addr address{};
    inet_pton(AF_INET, dotted, &address);
    return address.s_addr;
}

class FakeIdentityLayer final : public IdentityLayer {
public:
    // Script.
    std::uint32_t majorVersion = 6;
    int startResult = 0;
    std::optional<std::string> hostName = std::string("workstation");
    std::map<std::string, std::string> addresses{{"workstation", "192.168.1.20"}};
    std::uint32_t arpResult = kNoError;
    Bytes arpAddress{0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
    std::optional<std::uint32_t> arpLengthOverride;       // a length other than the bytes written
    std::optional<std::vector<AgentAnswer>> agentScript;  // nothing: the agent cannot be loaded
    std::function<std::unique_ptr<SnmpExtensionAgent>()> loadAgent;  // overrides agentScript
    std::uint32_t tickCount = 4242;
    std::map<std::string, std::string> environment;
    std::optional<std::string> userName = std::string("alice");
    std::optional<std::string> computerName = std::string("ALICE-PC");

    // Record.
    std::vector<std::string> calls;
    std::uint32_t arpDestination = 0;
    std::uint32_t arpSource = 0xFFFFFFFF;
    std::uint32_t arpRoom = 0;
    std::uint32_t userNameRoom = 0;
    std::uint32_t computerNameRoom = 0;
    AgentRecord agent;

    std::uint32_t GetMajorVersion() override {
        calls.push_back("GetMajorVersion");
        return majorVersion;
    }
    int StartSockets(std::uint16_t version) override {
        calls.push_back("StartSockets " + std::to_string(version));
        return startResult;
    }
    void CleanupSockets() override { calls.push_back("CleanupSockets"); }
    int GetHostName(char* buffer, std::size_t size) override {
        calls.push_back("GetHostName");
        if (!hostName || hostName->size() >= size) return -1;
        std::memcpy(buffer, hostName->c_str(), hostName->size() + 1);
        return 0;
    }
    std::optional<std::uint32_t> ResolveFirstIPv4(const char* name) override {
        calls.push_back(std::string("ResolveFirstIPv4 ") + name);
        const auto found = addresses.find(name);
        if (found == addresses.end()) return std::nullopt;
        return AddressOf(found->second.c_str());
    }
    std::uint32_t SendArp(std::uint32_t destination, std::uint32_t source, void* macAddress,
                          std::uint32_t& length) override {
        calls.push_back("SendArp");
        arpDestination = destination;
        arpSource = source;
        arpRoom = length;
        if (arpResult != kNoError) return arpResult;
        const std::size_t written = std::min<std::size_t>(arpAddress.size(), length);
        std::memcpy(macAddress, arpAddress.data(), written);
        length = arpLengthOverride.value_or(static_cast<std::uint32_t>(written));
        return kNoError;
    }
    std::unique_ptr<SnmpExtensionAgent> LoadSnmpAgent() override {
        calls.push_back("LoadSnmpAgent");
        if (loadAgent) return loadAgent();
        if (!agentScript) return nullptr;
        return std::make_unique<ScriptedAgent>(*agentScript, agent);
    }
    std::uint32_t GetTickCount() override { return tickCount; }
    std::optional<std::string> GetEnvironmentVariable(const char* name) override {
        calls.push_back(std::string("GetEnvironmentVariable ") + name);
        const auto found = environment.find(name);
        if (found == environment.end()) return std::nullopt;
        return found->second;
    }
    bool GetUserName(char* buffer, std::uint32_t& size) override {
        calls.push_back("GetUserName");
        userNameRoom = size;
        return userName && CopyNameIfItFits(*userName, buffer, size);
    }
    bool GetComputerName(char* buffer, std::uint32_t& size) override {
        calls.push_back("GetComputerName");
        computerNameRoom = size;
        return computerName && CopyNameIfItFits(*computerName, buffer, size);
    }
};

}  // namespace OrvaneIdentity::Testing
