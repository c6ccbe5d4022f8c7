#pragma once

// A small in-process SNMP agent for the MIB-II interface table. It answers
// GET-NEXT requests over the columns ifIndex to ifOperStatus from a snapshot
// of /sys/class/net taken when it is initialised.

#include "InterfaceTable.h"
#include "SnmpExtensionAgent.h"

#include <string>
#include <vector>

namespace OrvaneIdentity {

class InterfaceTableAgent final : public SnmpExtensionAgent {
public:
    explicit InterfaceTableAgent(std::string sysClassNet = kSysClassNet);

    // Takes the snapshot; reports no trap event and the interfaces group
    // (1.3.6.1.2.1.2) as the region served. The region's identifier belongs
    // to the agent.
    bool Init(std::uint32_t timeZeroReference, void** trapEvent,
              AsnObjectIdentifier* supportedView) override;

    bool Query(std::uint8_t requestType, SnmpVarBindList* bindings, std::int32_t* errorStatus,
               std::int32_t* errorIndex) override;

private:
    std::string sysClassNet_;
    std::vector<InterfaceRow> rows_;
    std::vector<std::vector<std::uint8_t>> answeredOctets_;  // octet values of the last answer
    std::uint32_t interfacesGroup_[7] = {1, 3, 6, 1, 2, 1, 2};
};

}  // namespace OrvaneIdentity
