#pragma once

namespace OrvaneLib {

// True when the machine has an interface that is up and running with an
// IPv4 or IPv6 address. Loopback counts, so that a service on this machine
// is always reachable. Reading the interface table costs a netlink dump, a
// dozen system calls, so calls in quick succession share one reading: the
// answer is at most a second old.
bool HasUsableNetworkInterface();

}  // namespace OrvaneLib
