// The SNMP route: the walk over the agent's interface table, its filters and
// its ends, driven by a scripted agent.
#include "FakeIdentityLayer.h"
#include "UserInfoRetrieval.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace OrvaneIdentity;
using namespace OrvaneIdentity::Testing;

namespace {

constexpr std::int32_t kEthernet = 6;
constexpr std::int32_t kLoopback = 24;
constexpr std::int32_t kPpp = 23;
const Bytes kCard{0x00, 0x0c, 0x29, 0xab, 0xcd, 0xef};
constexpr char kCardText[] = "000c29abcdef";
const char kUntouched[13] = "untouched!!!";

AgentAnswer WithTypeName(AgentAnswer answer, Oid name) {
    answer.typeName = std::move(name);
    return answer;
}

AgentAnswer WithAddressName(AgentAnswer answer, Oid name) {
    answer.addressName = std::move(name);
    return answer;
}

AgentAnswer WithTypeValueType(AgentAnswer answer, std::uint8_t asnType) {
    answer.typeAsnType = asnType;
    return answer;
}

const Oid kIfMtuColumn{1, 3, 6, 1, 2, 1, 2, 2, 1, 4};
const Oid kIfAdminStatusColumn{1, 3, 6, 1, 2, 1, 2, 2, 1, 7};

struct WalkCase {
    const char* name;
    std::vector<AgentAnswer> rows;
    const char* expected;  // nullptr: nothing found
    int queries;           // answers read, plus the failing one when the script ran out
};

// An ignored address first, then a card: the card is found on the second row.
WalkCase Ignored(const char* name, Bytes address) {
    return {name, {Row(1, kEthernet, std::move(address)), Row(2, kEthernet, kCard)}, kCardText, 2};
}

// A near miss of an ignored prefix is a card of its own.
WalkCase Used(const char* name, Bytes address, const char* text) {
    return {name, {Row(1, kEthernet, std::move(address)), Row(2, kEthernet, kCard)}, text, 1};
}

const WalkCase kWalkCases[] = {
    {"FirstEthernetRow", {Row(1, kEthernet, kCard)}, kCardText, 1},
    {"OtherTypesPassedOver",
     {Row(1, kLoopback, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}),
      Row(2, kPpp, {0x00, 0x53, 0x45, 0x00, 0x00, 0x00}), Row(3, kEthernet, kCard)},
     kCardText,
     3},
    {"TypeOfAnotherAsnTypePassedOver",
     {WithTypeValueType(Row(1, kEthernet, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}), kAsnOctetString),
      Row(2, kEthernet, kCard)},
     kCardText,
     2},
    {"RowWithoutDataPassedOver", {Row(1, kEthernet, {}), Row(2, kEthernet, kCard)}, kCardText, 2},
    {"ShortAddressPassedOver",
     {Row(1, kEthernet, {0x00, 0x11, 0x22, 0x33, 0x44}), Row(2, kEthernet, kCard)},
     kCardText,
     2},
    Ignored("DestPrefixPassedOver", {0x44, 0x45, 0x53, 0x54, 0x42, 0x00}),
    Ignored("Prefix00038A0000PassedOver", {0x00, 0x03, 0x8A, 0x00, 0x00, 0x01}),
    Ignored("Prefix20000000PassedOver", {0x20, 0x00, 0x00, 0x00, 0x12, 0x34}),
    Ignored("PrefixB8F36800PassedOver", {0xB8, 0xF3, 0x68, 0x00, 0x00, 0x01}),
    Ignored("AllZeroPassedOver", {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}),
    Used("NearDest", {0x44, 0x45, 0x53, 0x55, 0x00, 0x00}, "444553550000"),
    Used("Near00038A0000", {0x00, 0x03, 0x8A, 0x00, 0x01, 0x00}, "00038a000100"),
    Used("Near20000000", {0x20, 0x00, 0x00, 0x01, 0x00, 0x00}, "200000010000"),
    Used("NearB8F36800", {0xB8, 0xF3, 0x68, 0x01, 0x00, 0x00}, "b8f368010000"),
    Used("NearAllZero", {0x00, 0x00, 0x00, 0x00, 0x00, 0x01}, "000000000001"),
    {"LongerAddressGivesFirstSixBytes",
     {Row(1, kEthernet, {0x02, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77})},
     "021122334455",
     1},
    {"StopsWhenTypeLeavesItsColumn",
     {Row(1, kLoopback, kCard), WithTypeName(Row(2, kEthernet, kCard), Append(kIfMtuColumn, 1)),
      Row(3, kEthernet, kCard)},
     nullptr,
     2},
    {"StopsWhenAddressLeavesItsColumn",
     {WithAddressName(Row(1, kEthernet, kCard), Append(kIfAdminStatusColumn, 1)),
      Row(2, kEthernet, kCard)},
     nullptr,
     1},
    {"TypeNameShorterThanTheColumn",
     {WithTypeName(Row(1, kEthernet, kCard), {1, 3, 6, 1, 2, 1}), Row(2, kEthernet, kCard)},
     nullptr,
     1},
    {"NoRowQualifies",
     {Row(1, kLoopback, kCard), Row(2, kEthernet, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00})},
     nullptr,
     3},
    {"EmptyTable", {}, nullptr, 1},
};

// Print a case by its name; gtest would otherwise dump its raw bytes.
void PrintTo(const WalkCase& c, std::ostream* os) { *os << c.name; }

class MacAddressBySnmp : public testing::TestWithParam<WalkCase> {};

}  // namespace

TEST_P(MacAddressBySnmp, WalksTheInterfaceTable) {
    const WalkCase& c = GetParam();
    FakeIdentityLayer layer;
    layer.agentScript = c.rows;
    char out[13];
    std::copy(std::begin(kUntouched), std::end(kUntouched), out);

    const int found = GetMacAddressBySnmp(layer, out);

    if (c.expected != nullptr) {
        EXPECT_EQ(found, 1);
        EXPECT_STREQ(out, c.expected);
    } else {
        EXPECT_EQ(found, 0);
        EXPECT_STREQ(out, kUntouched);
    }
    EXPECT_EQ(layer.agent.queries, c.queries);
    EXPECT_EQ(layer.agent.initTick, layer.tickCount);
    EXPECT_EQ(layer.agent.requestTypes, std::vector<std::uint8_t>(c.queries, kSnmpPduGetNext));
    EXPECT_EQ(layer.agent.firstQueryNames, (std::vector<Oid>{kIfTypeColumn, kIfPhysAddressColumn}));
    EXPECT_TRUE(layer.agent.unloaded);
}

INSTANTIATE_TEST_SUITE_P(Snmp, MacAddressBySnmp, testing::ValuesIn(kWalkCases),
                         [](const testing::TestParamInfo<WalkCase>& param) {
                             return std::string(param.param.name);
                         });

TEST(MacAddressBySnmpAgent, MissingAgentGivesNothing) {
    FakeIdentityLayer layer;
    char out[13];
    std::copy(std::begin(kUntouched), std::end(kUntouched), out);

    EXPECT_EQ(GetMacAddressBySnmp(layer, out), 0);
    EXPECT_STREQ(out, kUntouched);
    EXPECT_FALSE(layer.agent.loaded);
}
