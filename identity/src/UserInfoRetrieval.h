#pragma once

// The logic behind UserInfo::Retrieve, run against any IdentityLayer so that
// tests can drive it through fakes.

#include "IdentityLayer.h"

#include <OrvaneLib/UserInfo.h>

#include <string>

namespace OrvaneIdentity {

bool RetrieveUserInfo(UserInfo& info, IdentityLayer& layer);

// The MAC address that an ARP request for the dotted IPv4 text yields, two
// lowercase hex digits per byte; empty on any failure.
std::string GetMacAddressByArp(IdentityLayer& layer, const char* ipText);

// Walks the agent's interface table for the first usable Ethernet address.
// Writes 12 hex digits and a terminator to out and returns 1, or returns 0
// and leaves out untouched.
int GetMacAddressBySnmp(IdentityLayer& layer, char (&out)[13]);

}  // namespace OrvaneIdentity
