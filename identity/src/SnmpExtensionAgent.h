#pragma once

// The records and the calling convention of an SNMP extension agent: object
// identifiers as a count plus an array of 32-bit sub-identifiers, typed
// values, variable bindings and a binding list answered in place.

#include <cstdint>

namespace OrvaneIdentity {

struct AsnObjectIdentifier {
    std::uint32_t idLength = 0;
    std::uint32_t* ids = nullptr;  // from AllocateSubIdentifiers
};

// The bytes belong to the agent and stay valid until its next query or until
// the agent is unloaded.
struct AsnOctetString {
    const std::uint8_t* stream = nullptr;
    std::uint32_t length = 0;
};

inline constexpr std::uint8_t kAsnInteger = 0x02;
inline constexpr std::uint8_t kAsnOctetString = 0x04;
inline constexpr std::uint8_t kAsnGauge32 = 0x42;
inline constexpr std::uint8_t kAsnNull = 0x05;

struct AsnAny {
    std::uint8_t asnType = kAsnNull;
    union {
        std::int32_t number;       // kAsnInteger
        std::uint32_t unsigned32;  // kAsnGauge32
        AsnOctetString string;     // kAsnOctetString
    } asnValue{};
};

struct SnmpVarBind {
    AsnObjectIdentifier name;
    AsnAny value;
};

struct SnmpVarBindList {
    SnmpVarBind* list = nullptr;
    std::uint32_t len = 0;
};

inline constexpr std::uint8_t kSnmpPduGetNext = 0xA1;

inline constexpr std::int32_t kSnmpErrorNoError = 0;
inline constexpr std::int32_t kSnmpErrorNoSuchName = 2;
inline constexpr std::int32_t kSnmpErrorGenErr = 5;

// Zero-initialised sub-identifier arrays. Callers and agents allocate and
// free binding names with this one pair, since an agent replaces the names
// it answers.
std::uint32_t* AllocateSubIdentifiers(std::uint32_t count);
void FreeSubIdentifiers(std::uint32_t* ids);

// A loaded agent module; destroying it unloads the module.
class SnmpExtensionAgent {
public:
    virtual ~SnmpExtensionAgent() = default;

    // Starts the agent. timeZeroReference is the caller's tick count; the
    // agent reports its trap event (none here) and the first region it serves.
    virtual bool Init(std::uint32_t timeZeroReference, void** trapEvent,
                      AsnObjectIdentifier* supportedView) = 0;

    // Answers a request on the bindings in place. For GET-NEXT every name is
    // replaced by the next object's name (the old array is freed) and the
    // value filled in. Returns false, leaving the bindings untouched, when
    // any binding has no next object or the request type is not served.
    virtual bool Query(std::uint8_t requestType, SnmpVarBindList* bindings,
                       std::int32_t* errorStatus, std::int32_t* errorIndex) = 0;
};

}  // namespace OrvaneIdentity
