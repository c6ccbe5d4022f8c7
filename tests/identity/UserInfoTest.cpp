// UserInfo::Retrieve driven through a scripted identity layer.
#include "FakeIdentityLayer.h"
#include "UserInfoRetrieval.h"

#include <OrvaneLib/UserInfo.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

using namespace OrvaneIdentity;
using namespace OrvaneIdentity::Testing;

namespace {

std::optional<std::string> TextOf(const char* field) {
    if (field == nullptr) return std::nullopt;
    return std::string(field);
}

bool IsEmptySnapshot(const UserInfo& info) {
    const auto allZero = [](const char* bytes, std::size_t size) {
        return std::all_of(bytes, bytes + size, [](char c) { return c == '\0'; });
    };
    return allZero(info.ipAddress, sizeof info.ipAddress) &&
           allZero(info.macAddress, sizeof info.macAddress) && info.proxyServer == nullptr &&
           info.proxyPort == nullptr && info.proxyUser == nullptr &&
           info.proxyPassword == nullptr && info.userName == nullptr &&
           info.workstationName == nullptr;
}

const Bytes kCard{0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};

struct RetrieveCase {
    const char* name;
    std::function<void(FakeIdentityLayer&)> script;
    const char* ipAddress;
    const char* macAddress;
    const char* userName = "alice";
    const char* workstationName = "ALICE-PC";
};

const RetrieveCase kRetrieveCases[] = {
    {"ArpAnswerAndNoProxyVariables", [](FakeIdentityLayer&) {}, "192.168.1.20", "001a2b3c4d5e"},
    {"ArpFromVersionFive", [](FakeIdentityLayer& l) { l.majorVersion = 5; }, "192.168.1.20",
     "001a2b3c4d5e"},
    {"EmptyArpAnswerGivesAddressDigits", [](FakeIdentityLayer& l) { l.arpResult = 67; },
     "192.168.1.20", "192168120"},
    {"ArpAnswerOfNoBytesGivesAddressDigits", [](FakeIdentityLayer& l) { l.arpAddress.clear(); },
     "192.168.1.20", "192168120"},
    {"ThreeDigitPartsGiveTwelveDigits",
     [](FakeIdentityLayer& l) {
         l.addresses["workstation"] = "192.168.100.200";
         l.arpResult = 67;
     },
     "192.168.100.200", "192168100200"},
    {"ShortAddressDigits",
     [](FakeIdentityLayer& l) {
         l.addresses["workstation"] = "10.1.2.3";
         l.arpResult = 67;
     },
     "10.1.2.3", "10123"},
    {"NoHostNameLeavesBothAddressesEmpty", [](FakeIdentityLayer& l) { l.hostName.reset(); }, "",
     ""},
    {"UnresolvedNameLeavesBothAddressesEmpty", [](FakeIdentityLayer& l) { l.addresses.clear(); },
     "", ""},
    {"SnmpBelowVersionFive",
     [](FakeIdentityLayer& l) {
         l.majorVersion = 4;
         l.agentScript = std::vector<AgentAnswer>{Row(1, 6, {0x00, 0x0c, 0x29, 0xab, 0xcd, 0xef})};
     },
     "192.168.1.20", "000c29abcdef"},
    {"FailedVersionQueryTakesSnmp",
     [](FakeIdentityLayer& l) {
         l.majorVersion = 0;
         l.agentScript = std::vector<AgentAnswer>{Row(1, 6, {0x00, 0x0c, 0x29, 0xab, 0xcd, 0xef})};
     },
     "192.168.1.20", "000c29abcdef"},
    {"SnmpWithoutUsableRowGivesAddressDigits",
     [](FakeIdentityLayer& l) {
         l.majorVersion = 4;
         l.agentScript = std::vector<AgentAnswer>{Row(1, 24, kCard)};
     },
     "192.168.1.20", "192168120"},
    {"SnmpAgentMissingGivesAddressDigits", [](FakeIdentityLayer& l) { l.majorVersion = 4; },
     "192.168.1.20", "192168120"},
    {"ProxyVariablesCopied",
     [](FakeIdentityLayer& l) {
         l.environment = {{"PROXY_SERVER", "proxy.example"},
                          {"PROXY_PORT", "eighty"},
                          {"PROXY_USER", "bob"},
                          {"PROXY_PASSWORD", "p@ss word"}};
     },
     "192.168.1.20", "001a2b3c4d5e"},
    {"EmptyProxyValueCountsAsSet",
     [](FakeIdentityLayer& l) {
         l.environment = {{"PROXY_PORT", ""}};
     },
     "192.168.1.20", "001a2b3c4d5e"},
    {"FailedNameQueriesGiveEmptyTexts",
     [](FakeIdentityLayer& l) {
         l.userName.reset();
         l.computerName.reset();
     },
     "192.168.1.20", "001a2b3c4d5e", "", ""},
};

// Print a case by its name; gtest would otherwise dump its raw bytes.
void PrintTo(const RetrieveCase& c, std::ostream* os) { *os << c.name; }

class Retrieve : public testing::TestWithParam<RetrieveCase> {};

}  // namespace

TEST(UserInfo, StartsAsEmptySnapshotAndIsNotCopyable) {
    const auto info = std::make_unique<UserInfo>();
    EXPECT_TRUE(IsEmptySnapshot(*info));
    static_assert(!std::is_copy_constructible_v<UserInfo> && !std::is_copy_assignable_v<UserInfo>);
    static_assert(std::has_virtual_destructor_v<UserInfo>);
}

TEST_P(Retrieve, FillsEveryField) {
    const RetrieveCase& c = GetParam();
    FakeIdentityLayer layer;
    c.script(layer);
    UserInfo info;

    ASSERT_TRUE(RetrieveUserInfo(info, layer));

    EXPECT_STREQ(info.ipAddress, c.ipAddress);
    EXPECT_STREQ(info.macAddress, c.macAddress);
    // Each proxy field is a copy of its variable, null when it is not set.
    const auto variable = [&layer](const char* name) -> std::optional<std::string> {
        const auto found = layer.environment.find(name);
        if (found == layer.environment.end()) return std::nullopt;
        return found->second;
    };
    EXPECT_EQ(TextOf(info.proxyServer), variable("PROXY_SERVER"));
    EXPECT_EQ(TextOf(info.proxyPort), variable("PROXY_PORT"));
    EXPECT_EQ(TextOf(info.proxyUser), variable("PROXY_USER"));
    EXPECT_EQ(TextOf(info.proxyPassword), variable("PROXY_PASSWORD"));
    EXPECT_EQ(TextOf(info.userName), c.userName);
    EXPECT_EQ(TextOf(info.workstationName), c.workstationName);
    // Everything behind the terminators stays zero.
    const std::size_t macLength = std::strlen(info.macAddress);
    EXPECT_TRUE(std::all_of(info.macAddress + macLength, std::end(info.macAddress),
                            [](char ch) { return ch == '\0'; }));
}

INSTANTIATE_TEST_SUITE_P(UserInfo, Retrieve, testing::ValuesIn(kRetrieveCases),
                         [](const testing::TestParamInfo<RetrieveCase>& param) {
                             return std::string(param.param.name);
                         });

TEST(UserInfo, FailedSocketStartReturnsFalseAndTouchesNothing) {
    FakeIdentityLayer layer;
    layer.startResult = 10091;  // the network subsystem is not ready
    layer.environment = {{"PROXY_SERVER", "proxy.example"}};
    UserInfo info;

    EXPECT_FALSE(RetrieveUserInfo(info, layer));

    EXPECT_TRUE(IsEmptySnapshot(info));
    EXPECT_EQ(layer.calls, (std::vector<std::string>{"GetMajorVersion", "StartSockets 514"}));
}

TEST(UserInfo, QueriesInOrderAndShutsSocketsDownAfterTheMacLookup) {
    FakeIdentityLayer layer;
    UserInfo info;

    ASSERT_TRUE(RetrieveUserInfo(info, layer));

    const std::vector<std::string> expected{"GetMajorVersion",
                                            "StartSockets 514",
                                            "GetHostName",
                                            "ResolveFirstIPv4 workstation",
                                            "SendArp",
                                            "CleanupSockets",
                                            "GetEnvironmentVariable PROXY_SERVER",
                                            "GetEnvironmentVariable PROXY_PORT",
                                            "GetEnvironmentVariable PROXY_USER",
                                            "GetEnvironmentVariable PROXY_PASSWORD",
                                            "GetUserName",
                                            "GetComputerName"};
    EXPECT_EQ(layer.calls, expected);
    EXPECT_EQ(layer.arpDestination, AddressOf("192.168.1.20"));
    EXPECT_EQ(layer.arpSource, 0u);
    EXPECT_EQ(layer.userNameRoom, 260u);
    EXPECT_EQ(layer.computerNameRoom, 16u);
}

TEST(UserInfo, EmptyAddressIsNeverSentToArp) {
    FakeIdentityLayer layer;
    layer.addresses.clear();
    UserInfo info;

    ASSERT_TRUE(RetrieveUserInfo(info, layer));

    EXPECT_EQ(std::count(layer.calls.begin(), layer.calls.end(), "SendArp"), 0);
}

// A second Retrieve on one object used to overwrite the owned texts without
// releasing them; now it replaces them and drops variables no longer set.
TEST(UserInfo, SecondRetrieveReplacesOwnedTexts) {
    UserInfo info;
    FakeIdentityLayer first;
    first.environment = {{"PROXY_SERVER", "old.example"}, {"PROXY_USER", "bob"}};
    ASSERT_TRUE(RetrieveUserInfo(info, first));

    FakeIdentityLayer second;
    second.environment = {{"PROXY_SERVER", "new.example"}};
    second.userName = "carol";
    second.hostName.reset();
    ASSERT_TRUE(RetrieveUserInfo(info, second));

    EXPECT_EQ(TextOf(info.proxyServer), "new.example");
    EXPECT_EQ(info.proxyUser, nullptr);
    EXPECT_EQ(TextOf(info.userName), "carol");
    EXPECT_STREQ(info.ipAddress, "");
    EXPECT_STREQ(info.macAddress, "");
}
