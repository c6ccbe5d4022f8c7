// The Linux layer on this machine, and its small pure helpers.
#include "InterfaceTable.h"
#include "LinuxIdentityLayer.h"
#include "UserInfoRetrieval.h"

#include <OrvaneLib/UserInfo.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <regex>
#include <string>

using namespace OrvaneIdentity;

namespace {

std::string Text(const char* field) { return field == nullptr ? "<null>" : field; }

std::string WithoutDots(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '.'), text.end());
    return text;
}

std::string ExpectedProxy(const char* name) { return Text(std::getenv(name)); }

}  // namespace

TEST(LinuxIdentityLayer, MajorVersionFromKernelRelease) {
    const struct {
        const char* release;
        std::uint32_t major;
    } cases[] = {
        {"6.1.0-18-amd64", 6},   {"10.2", 10}, {"4.19.0", 4}, {"5", 5}, {"", 0}, {"v6.1", 0},
        {"99999999999999.1", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MajorVersionFromRelease(c.release), c.major) << '"' << c.release << '"';
    }
}

TEST(LinuxIdentityLayer, NamesLongerThanTheBufferAllowsAreRefused) {
    const struct {
        std::string name;
        bool fits;
    } cases[] = {
        {"", true},
        {"ALICE-PC", true},
        {std::string(15, 'n'), true},
        {std::string(16, 'n'), false},
        {std::string(64, 'n'), false},
    };
    for (const auto& c : cases) {
        char buffer[16] = {};
        std::uint32_t size = sizeof buffer;
        EXPECT_EQ(CopyNameIfItFits(c.name, buffer, size), c.fits) << c.name;
        if (c.fits) {
            EXPECT_EQ(buffer, c.name);
            EXPECT_EQ(size, c.name.size());
        } else {
            EXPECT_EQ(buffer[0], '\0') << "buffer touched";
            EXPECT_EQ(size, 16u);
        }
    }
}

TEST(LinuxIdentityLayer, ResolvesToAnIPv4Address) {
    LinuxIdentityLayer layer;
    EXPECT_EQ(layer.ResolveFirstIPv4("10.1.2.3"), htonl(0x0A010203));
    EXPECT_EQ(layer.ResolveFirstIPv4("localhost"), htonl(INADDR_LOOPBACK));
    EXPECT_EQ(layer.ResolveFirstIPv4("::1"), std::nullopt);  // no IPv4 form
}

TEST(LinuxIdentityLayer, HostNameThatDoesNotFitIsAFailure) {
    LinuxIdentityLayer layer;
    char tiny[1] = {'x'};
    EXPECT_NE(layer.GetHostName(tiny, sizeof tiny), 0);

    char host[260] = {};
    ASSERT_EQ(layer.GetHostName(host, sizeof host), 0);
    EXPECT_GT(std::strlen(host), 0u);
}

TEST(LinuxIdentityLayer, RetrieveOnThisMachine) {
    const auto info = std::make_unique<UserInfo>();
    ASSERT_TRUE(info->Retrieve());

    const std::string ip = info->ipAddress;
    const std::string mac = info->macAddress;
    EXPECT_TRUE(ip.empty() || std::regex_match(ip, std::regex(R"(\d{1,3}(\.\d{1,3}){3})"))) << ip;
    EXPECT_TRUE(std::regex_match(mac, std::regex("[0-9a-f]{12}")) || mac == WithoutDots(ip)) << mac;

    const passwd* account = getpwuid(geteuid());
    ASSERT_NE(info->userName, nullptr);
    EXPECT_EQ(Text(info->userName), account != nullptr ? account->pw_name : "");

    char host[HOST_NAME_MAX + 1] = {};
    ASSERT_EQ(gethostname(host, sizeof host), 0);
    ASSERT_NE(info->workstationName, nullptr);
    EXPECT_EQ(Text(info->workstationName), std::strlen(host) <= 15 ? host : "");

    EXPECT_EQ(Text(info->proxyServer), ExpectedProxy("PROXY_SERVER"));
    EXPECT_EQ(Text(info->proxyPort), ExpectedProxy("PROXY_PORT"));
    EXPECT_EQ(Text(info->proxyUser), ExpectedProxy("PROXY_USER"));
    EXPECT_EQ(Text(info->proxyPassword), ExpectedProxy("PROXY_PASSWORD"));
}

TEST(LinuxIdentityLayer, TwoSnapshotsOfThisMachineAgree) {
    UserInfo first;
    UserInfo second;
    ASSERT_TRUE(first.Retrieve());
    ASSERT_TRUE(second.Retrieve());

    EXPECT_STREQ(first.ipAddress, second.ipAddress);
    EXPECT_STREQ(first.macAddress, second.macAddress);
    EXPECT_STREQ(first.userName, second.userName);
    EXPECT_STREQ(first.workstationName, second.workstationName);
    EXPECT_NE(first.userName, second.userName);  // each snapshot owns its copies
}

TEST(LinuxIdentityLayer, SnmpRouteOnThisMachineGivesAnEthernetAddress) {
    LinuxIdentityLayer layer;
    char out[13] = {};
    if (GetMacAddressBySnmp(layer, out) == 0) GTEST_SKIP() << "no usable Ethernet interface here";

    bool matched = false;
    for (const InterfaceRow& row : ReadInterfaceTable()) {
        if (row.type != kIfTypeEthernetCsmacd || row.physAddress.size() < 6) continue;
        const std::uint8_t* a = row.physAddress.data();
        char text[13] = {};
        std::snprintf(text, sizeof text, "%02x%02x%02x%02x%02x%02x", a[0], a[1], a[2], a[3], a[4],
                      a[5]);
        matched = matched || std::strcmp(text, out) == 0;
    }
    EXPECT_TRUE(matched) << out;
}
