#include "SnmpExtensionAgent.h"

namespace OrvaneIdentity {

std::uint32_t* AllocateSubIdentifiers(std::uint32_t count) { return new std::uint32_t[count](); }

void FreeSubIdentifiers(std::uint32_t* ids) { delete[] ids; }

}  // namespace OrvaneIdentity
