// The ARP route: the answer of the layer's ARP request as hex text.
#include "FakeIdentityLayer.h"
#include "UserInfoRetrieval.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>

using namespace OrvaneIdentity;
using namespace OrvaneIdentity::Testing;

namespace {

struct ArpCase {
    const char* name;
    const char* ipText;
    std::function<void(FakeIdentityLayer&)> script;
    const char* expected;
    bool sent;  // whether an ARP request goes out
};

const ArpCase kArpCases[] = {
    {"SixBytesGiveTwelveLowercaseDigits", "10.0.0.7",
     [](FakeIdentityLayer& l) { l.arpAddress = {0xAB, 0xCD, 0xEF, 0x01, 0x02, 0x03}; },
     "abcdef010203", true},
    {"FewerBytesGiveTwoDigitsEach", "10.0.0.7",
     [](FakeIdentityLayer& l) {
         l.arpAddress = {0x0A, 0xFF, 0x00, 0x10};
     },
     "0aff0010", true},
    {"FailedRequest", "10.0.0.7", [](FakeIdentityLayer& l) { l.arpResult = 1168; }, "", true},
    {"ZeroLengthAnswer", "10.0.0.7", [](FakeIdentityLayer& l) { l.arpLengthOverride = 0; }, "",
     true},
    {"LengthBeyondTheRoomGiven", "10.0.0.7", [](FakeIdentityLayer& l) { l.arpLengthOverride = 8; },
     "", true},
    {"NullText", nullptr, [](FakeIdentityLayer&) {}, "", false},
    {"EmptyText", "", [](FakeIdentityLayer&) {}, "", false},
    {"NotAnAddress", "workstation", [](FakeIdentityLayer&) {}, "", false},
};

// Print a case by its name; gtest would otherwise dump its raw bytes.
void PrintTo(const ArpCase& c, std::ostream* os) { *os << c.name; }

class MacAddressByArp : public testing::TestWithParam<ArpCase> {};

}  // namespace

TEST_P(MacAddressByArp, AnswersAsHexText) {
    const ArpCase& c = GetParam();
    FakeIdentityLayer layer;
    c.script(layer);

    EXPECT_EQ(GetMacAddressByArp(layer, c.ipText), c.expected);

    const bool sent = std::count(layer.calls.begin(), layer.calls.end(), "SendArp") == 1;
    EXPECT_EQ(sent, c.sent);
    if (sent) {
        EXPECT_EQ(layer.arpDestination, AddressOf(c.ipText));
        EXPECT_EQ(layer.arpSource, 0u);
        EXPECT_EQ(layer.arpRoom, 6u);
    }
}

INSTANTIATE_TEST_SUITE_P(Arp, MacAddressByArp, testing::ValuesIn(kArpCases),
                         [](const testing::TestParamInfo<ArpCase>& param) {
                             return std::string(param.param.name);
                         });
