// Reading the interface table from a folder laid out like /sys/class/net.
#include "FakeSysClassNet.h"
#include "InterfaceTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace OrvaneIdentity;
using namespace OrvaneIdentity::Testing;

using Bytes = std::vector<std::uint8_t>;

TEST(InterfaceTable, LinkTypesMapToInterfaceTypes) {
    const struct {
        long linkType;
        std::int32_t ifType;
    } cases[] = {
        {1, kIfTypeEthernetCsmacd}, {772, kIfTypeSoftwareLoopback}, {512, kIfTypePpp},
        {768, kIfTypeTunnel},       {776, kIfTypeTunnel},           {778, kIfTypeTunnel},
        {801, kIfTypeIeee80211},    {32, kIfTypeInfiniband},        {65534, kIfTypeOther},
        {-1, kIfTypeOther},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IfTypeFromLinkType(c.linkType), c.ifType) << "link type " << c.linkType;
    }
}

TEST(InterfaceTable, HardwareAddressTexts) {
    const struct {
        const char* text;
        Bytes bytes;
    } cases[] = {
        {"02:fc:00:00:00:01", {0x02, 0xfc, 0x00, 0x00, 0x00, 0x01}},
        {"AA:bb:0C", {0xaa, 0xbb, 0x0c}},
        {"", {}},
        {"0:1", {}},
        {"00:11:", {}},
        {"00-11-22", {}},
        {"zz:00", {}},
        {"001", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseHardwareAddress(c.text), c.bytes) << '"' << c.text << '"';
    }
}

TEST(InterfaceTable, RowsInIndexOrderWithTheirColumns) {
    FakeSysClassNet net;
    net.Add({"eth1", "7", "1", "02:00:00:00:00:07", "9000", "-1", "0x1002", "down"});
    net.Add({"lo", "1", "772", "00:00:00:00:00:00", "65536", std::nullopt, "0x9", "unknown"});
    net.Add({"tun0", "3", "65534", "", "1420", "10", "0x1091", "lowerlayerdown"});
    net.Add({"eth0", "2", "1", "02:fc:00:00:00:01", "1500", "100000", "0x1003", "up"});
    net.AddStray("bonding_masters");

    const std::vector<InterfaceRow> rows = ReadInterfaceTable(net.Path());

    ASSERT_EQ(rows.size(), 4u);
    const struct {
        std::uint32_t index;
        const char* name;
        std::int32_t type;
        std::int32_t mtu;
        std::uint32_t speed;
        Bytes address;
        std::int32_t admin;
        std::int32_t oper;
    } expected[] = {
        {1, "lo", kIfTypeSoftwareLoopback, 65536, 0, {0, 0, 0, 0, 0, 0}, 1, 4},
        {2, "eth0", kIfTypeEthernetCsmacd, 1500, 4294967295u, {0x02, 0xfc, 0, 0, 0, 0x01}, 1, 1},
        {3, "tun0", kIfTypeOther, 1420, 10000000, {}, 1, 7},
        {7, "eth1", kIfTypeEthernetCsmacd, 9000, 0, {0x02, 0, 0, 0, 0, 0x07}, 2, 2},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(rows[i].index, expected[i].index);
        EXPECT_EQ(rows[i].name, expected[i].name);
        EXPECT_EQ(rows[i].type, expected[i].type);
        EXPECT_EQ(rows[i].mtu, expected[i].mtu);
        EXPECT_EQ(rows[i].speed, expected[i].speed);  // capped at the counter's maximum
        EXPECT_EQ(rows[i].physAddress, expected[i].address);
        EXPECT_EQ(rows[i].adminStatus, expected[i].admin);
        EXPECT_EQ(rows[i].operStatus, expected[i].oper);
    }
}

TEST(InterfaceTable, MissingFolderOrInterfaceReadsAsNothing) {
    FakeSysClassNet net;
    net.Add({"bad", "x1", "1", "02:00:00:00:00:01"});

    EXPECT_TRUE(ReadInterfaceTable(net.Path() + "/absent").empty());
    EXPECT_TRUE(ReadInterfaceTable(net.Path()).empty());
    EXPECT_FALSE(ReadInterface(net.Path(), "eth9").has_value());
}
