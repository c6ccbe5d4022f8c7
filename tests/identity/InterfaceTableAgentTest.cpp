// The in-process agent's GET-NEXT answers over a fake /sys/class/net, and the
// SNMP route walking it.
#include "FakeIdentityLayer.h"
#include "FakeSysClassNet.h"
#include "InterfaceTableAgent.h"
#include "UserInfoRetrieval.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace OrvaneIdentity;
using namespace OrvaneIdentity::Testing;

namespace {

const Oid kIfEntry{1, 3, 6, 1, 2, 1, 2, 2, 1};

Oid Object(std::uint32_t column, std::uint32_t index) {
    return Append(Append(kIfEntry, column), index);
}

// Binding names owned the way the walk owns them: freed at the end, whatever
// the agent has put there.
class Bindings {
public:
    explicit Bindings(const std::vector<Oid>& names) : bindings_(names.size()) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            bindings_[i].name.ids =
                AllocateSubIdentifiers(static_cast<std::uint32_t>(names[i].size()));
            bindings_[i].name.idLength = static_cast<std::uint32_t>(names[i].size());
            std::copy(names[i].begin(), names[i].end(), bindings_[i].name.ids);
        }
        list_ = {bindings_.data(), static_cast<std::uint32_t>(bindings_.size())};
    }
    ~Bindings() {
        for (SnmpVarBind& binding : bindings_) FreeSubIdentifiers(binding.name.ids);
    }
    Bindings(const Bindings&) = delete;
    Bindings& operator=(const Bindings&) = delete;

    SnmpVarBindList* List() { return &list_; }
    const SnmpVarBind& operator[](std::size_t i) const { return bindings_[i]; }

private:
    std::vector<SnmpVarBind> bindings_;
    SnmpVarBindList list_;
};

Bytes OctetsOf(const AsnAny& value) {
    if (value.asnType != kAsnOctetString) return {};
    const AsnOctetString& s = value.asnValue.string;
    return Bytes(s.stream, s.stream + s.length);
}

class InterfaceTableAgentTest : public testing::Test {
protected:
    void SetUp() override {
        net_.Add({"lo", "1", "772", "00:00:00:00:00:00", "65536", std::nullopt, "0x9", "unknown"});
        net_.Add({"eth0", "2", "1", "02:fc:00:00:00:01", "1400", "-1", "0x1003", "up"});
        net_.Add({"tun0", "3", "65534", "", "1420"});
        net_.Add({"eth1", "5", "1", "b6:db:28:41:fe:8b", "1500", "1000", "0x1002", "down"});
        void* trapEvent = &trapEvent;
        ASSERT_TRUE(agent_.Init(1234, &trapEvent, &view_));
        EXPECT_EQ(trapEvent, nullptr);
    }

    bool GetNext(Bindings& bindings) {
        return agent_.Query(kSnmpPduGetNext, bindings.List(), &errorStatus_, &errorIndex_);
    }

    FakeSysClassNet net_;
    InterfaceTableAgent agent_{net_.Path()};
    AsnObjectIdentifier view_;
    std::int32_t errorStatus_ = -1;
    std::int32_t errorIndex_ = -1;
};

}  // namespace

TEST_F(InterfaceTableAgentTest, ServesTheInterfacesGroup) {
    EXPECT_EQ(NameOf(view_), (Oid{1, 3, 6, 1, 2, 1, 2}));
}

TEST_F(InterfaceTableAgentTest, WalksTwoColumnsRowByRowThenLeavesThem) {
    Bindings bindings({Append(kIfEntry, 3), Append(kIfEntry, 6)});
    const struct {
        std::uint32_t index;
        std::int32_t type;
        Bytes address;
    } rows[] = {
        {1, 24, {0, 0, 0, 0, 0, 0}},
        {2, 6, {0x02, 0xfc, 0x00, 0x00, 0x00, 0x01}},
        {3, 1, {}},
        {5, 6, {0xb6, 0xdb, 0x28, 0x41, 0xfe, 0x8b}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.index);
        ASSERT_TRUE(GetNext(bindings));
        EXPECT_EQ(errorStatus_, kSnmpErrorNoError);
        EXPECT_EQ(NameOf(bindings[0].name), Object(3, row.index));
        EXPECT_EQ(bindings[0].value.asnType, kAsnInteger);
        EXPECT_EQ(bindings[0].value.asnValue.number, row.type);
        EXPECT_EQ(NameOf(bindings[1].name), Object(6, row.index));
        EXPECT_EQ(OctetsOf(bindings[1].value), row.address);
    }

    // Past the last row each name moves on to the first row of the next column.
    ASSERT_TRUE(GetNext(bindings));
    EXPECT_EQ(NameOf(bindings[0].name), Object(4, 1));
    EXPECT_EQ(bindings[0].value.asnValue.number, 65536);
    EXPECT_EQ(NameOf(bindings[1].name), Object(7, 1));
    EXPECT_EQ(bindings[1].value.asnValue.number, 1);
}

TEST_F(InterfaceTableAgentTest, AnswersEveryColumnOfARow) {
    const struct {
        std::uint32_t column;
        std::uint8_t asnType;
        std::int64_t number;
        Bytes octets;
    } columns[] = {
        {1, kAsnInteger, 5, {}},
        {2, kAsnOctetString, 0, {'e', 't', 'h', '1'}},
        {3, kAsnInteger, 6, {}},
        {4, kAsnInteger, 1500, {}},
        {5, kAsnGauge32, 1000000000, {}},
        {6, kAsnOctetString, 0, {0xb6, 0xdb, 0x28, 0x41, 0xfe, 0x8b}},
        {7, kAsnInteger, 2, {}},
        {8, kAsnInteger, 2, {}},
    };
    for (const auto& c : columns) {
        SCOPED_TRACE(c.column);
        Bindings bindings({Object(c.column, 3)});  // the row after tun0 is eth1
        ASSERT_TRUE(GetNext(bindings));
        EXPECT_EQ(NameOf(bindings[0].name), Object(c.column, 5));
        ASSERT_EQ(bindings[0].value.asnType, c.asnType);
        if (c.asnType == kAsnOctetString) {
            EXPECT_EQ(OctetsOf(bindings[0].value), c.octets);
        } else if (c.asnType == kAsnGauge32) {
            EXPECT_EQ(bindings[0].value.asnValue.unsigned32, c.number);
        } else {
            EXPECT_EQ(bindings[0].value.asnValue.number, c.number);
        }
    }
}

TEST_F(InterfaceTableAgentTest, NamesBeforeOrBetweenObjectsFindTheNextOne) {
    const struct {
        Oid from;
        Oid next;
    } cases[] = {
        {{}, Object(1, 1)},
        {{1, 3, 6, 1, 2, 1, 2}, Object(1, 1)},
        {Object(3, 2), Object(3, 3)},
        {Object(3, 4), Object(3, 5)},             // no row 4
        {Append(Object(3, 2), 9), Object(3, 3)},  // below an object
        {Append(kIfEntry, 5), Object(5, 1)},
    };
    for (const auto& c : cases) {
        Bindings bindings({c.from});
        ASSERT_TRUE(GetNext(bindings));
        EXPECT_EQ(NameOf(bindings[0].name), c.next);
    }
}

TEST_F(InterfaceTableAgentTest, EndOfTableFailsAndLeavesEveryBindingAlone) {
    Bindings bindings({Append(kIfEntry, 3), Object(8, 5)});
    const std::uint32_t* namesBefore[] = {bindings[0].name.ids, bindings[1].name.ids};

    EXPECT_FALSE(GetNext(bindings));

    EXPECT_EQ(errorStatus_, kSnmpErrorNoSuchName);
    EXPECT_EQ(errorIndex_, 2);
    EXPECT_EQ(bindings[0].name.ids, namesBefore[0]);
    EXPECT_EQ(bindings[1].name.ids, namesBefore[1]);
    EXPECT_EQ(NameOf(bindings[0].name), Append(kIfEntry, 3));
}

TEST_F(InterfaceTableAgentTest, ServesOnlyGetNext) {
    Bindings bindings({Object(3, 1)});
    constexpr std::uint8_t kGetRequest = 0xA0;
    EXPECT_FALSE(agent_.Query(kGetRequest, bindings.List(), &errorStatus_, &errorIndex_));
    EXPECT_EQ(errorStatus_, kSnmpErrorGenErr);
    EXPECT_EQ(NameOf(bindings[0].name), Object(3, 1));
}

TEST_F(InterfaceTableAgentTest, SnmpRouteFindsTheFirstEthernetCard) {
    FakeIdentityLayer layer;
    const std::string path = net_.Path();
    layer.loadAgent = [path] { return std::make_unique<InterfaceTableAgent>(path); };
    char out[13] = {};

    ASSERT_EQ(GetMacAddressBySnmp(layer, out), 1);
    EXPECT_STREQ(out, "02fc00000001");
}

TEST(InterfaceTableAgent, EmptyTableAnswersNothing) {
    FakeSysClassNet net;
    InterfaceTableAgent agent(net.Path());
    void* trapEvent = nullptr;
    AsnObjectIdentifier view;
    ASSERT_TRUE(agent.Init(0, &trapEvent, &view));
    Bindings bindings({Oid{}});
    std::int32_t errorStatus = 0;
    std::int32_t errorIndex = 0;

    EXPECT_FALSE(agent.Query(kSnmpPduGetNext, bindings.List(), &errorStatus, &errorIndex));
    EXPECT_EQ(errorIndex, 1);
}
