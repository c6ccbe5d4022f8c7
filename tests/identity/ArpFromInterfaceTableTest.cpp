// The Linux ARP route: the hardware address of the interface holding an
// address, from a fake /sys/class/net and from this machine.
#include "ArpFromInterfaceTable.h"
#include "FakeIdentityLayer.h"
#include "FakeSysClassNet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace OrvaneIdentity;
using namespace OrvaneIdentity::Testing;

TEST(ArpFromInterfaceTable, AnswersWithTheInterfacesHardwareAddress) {
    FakeSysClassNet net;
    net.Add({"lo", "1", "772", "00:00:00:00:00:00"});
    net.Add({"eth0", "2", "1", "02:fc:00:00:00:01"});
    net.Add({"tun0", "3", "65534", ""});
    net.Add({"ib0", "4", "32", "80:00:02:08:fe:80:00:00:00:00:00:00:00:02:c9:03:00:0a:a1:b2"});

    const struct {
        const char* interfaceName;
        std::uint32_t result;
        Bytes written;
    } cases[] = {
        {"eth0", kNoError, {0x02, 0xfc, 0x00, 0x00, 0x00, 0x01}},
        {"lo", kArpErrorNotFound, {}},
        {"tun0", kArpErrorNotFound, {}},
        {"ib0", kArpErrorBufferOverflow, {}},  // 20 bytes do not fit in 6
        {"eth7", kArpErrorBadNetName, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.interfaceName);
        std::uint8_t buffer[8];
        std::fill(std::begin(buffer), std::end(buffer), 0xFF);
        std::uint32_t length = 6;

        EXPECT_EQ(AnswerArpForInterface(net.Path(), c.interfaceName, buffer, length), c.result);

        if (c.result == kNoError) {
            EXPECT_EQ(length, c.written.size());
            EXPECT_EQ(Bytes(buffer, buffer + length), c.written);
        } else {
            EXPECT_EQ(length, 6u);
        }
        EXPECT_EQ(buffer[7], 0xFF);
    }
}

TEST(ArpFromInterfaceTable, FindsTheLocalInterfaceHoldingAnAddress) {
    EXPECT_EQ(FindInterfaceHoldingAddress(AddressOf("127.0.0.1")), "lo");
    EXPECT_EQ(FindInterfaceHoldingAddress(AddressOf("198.51.100.254")), "");  // documentation range
}

TEST(ArpFromInterfaceTable, LoopbackAndForeignAddressesHaveNoAnswer) {
    std::uint8_t buffer[8] = {};
    std::uint32_t length = 6;
    EXPECT_EQ(SendArpFromInterfaceTable(AddressOf("127.0.0.1"), buffer, length), kArpErrorNotFound);
    EXPECT_EQ(SendArpFromInterfaceTable(AddressOf("198.51.100.254"), buffer, length),
              kArpErrorBadNetName);
}
