#include "NetworkCheck.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

namespace OrvaneLib {
namespace {

constexpr std::chrono::seconds kReadingLifetime{1};

bool ReadInterfaceTable() {
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

}  // namespace

bool HasUsableNetworkInterface() {
    using Clock = std::chrono::steady_clock;
    static std::mutex mutex;
    static std::optional<Clock::time_point> readAt;
    static bool lastAnswer = false;

    const std::lock_guard<std::mutex> lock(mutex);
    const Clock::time_point now = Clock::now();
    if (!readAt || now - *readAt >= kReadingLifetime) {
        lastAnswer = ReadInterfaceTable();
        readAt = now;
    }
    return lastAnswer;
}

}  // namespace OrvaneLib
