#pragma once

namespace OrvaneLib {

// True when the machine has an interface that is up and running with an
// IPv4 or IPv6 address. Loopback counts, so that a service on this machine
// is always reachable.
bool HasUsableNetworkInterface();

}  // namespace OrvaneLib
