#include "NetworkCheck.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <memory>

namespace OrvaneLib {

bool HasUsableNetworkInterface() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    const std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> owner(list, &freeifaddrs);

    constexpr unsigned int kUpAndRunning = IFF_UP | IFF_RUNNING;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr) continue;
        const int family = entry->ifa_addr->sa_family;
        if ((family == AF_INET || family == AF_INET6) && (entry->ifa_flags & kUpAndRunning) == kUpAndRunning) {
            return true;
        }
    }
    return false;
}

}  // namespace OrvaneLib
