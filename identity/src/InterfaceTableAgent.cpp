#include "InterfaceTableAgent.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>

namespace OrvaneIdentity {
namespace {

// ifTable entry, 1.3.6.1.2.1.2.2.1; objects are entry.column.ifIndex.
constexpr std::uint32_t kIfEntry[] = {1, 3, 6, 1, 2, 1, 2, 2, 1};
constexpr std::uint32_t kFirstColumn = 1;  // ifIndex
constexpr std::uint32_t kLastColumn = 8;   // ifOperStatus

using ObjectName = std::vector<std::uint32_t>;

ObjectName NameOf(const AsnObjectIdentifier& oid) {
    if (oid.ids == nullptr) return {};
    return ObjectName(oid.ids, oid.ids + oid.idLength);
}

ObjectName ObjectNameFor(std::uint32_t column, std::uint32_t index) {
    ObjectName name(std::begin(kIfEntry), std::end(kIfEntry));
    name.push_back(column);
    name.push_back(index);
    return name;
}

AsnAny Integer(std::int32_t value) {
    AsnAny any;
    any.asnType = kAsnInteger;
    any.asnValue.number = value;
    return any;
}

AsnAny Gauge(std::uint32_t value) {
    AsnAny any;
    any.asnType = kAsnGauge32;
    any.asnValue.unsigned32 = value;
    return any;
}

struct Answer {
    ObjectName name;
    AsnAny value;
};

// The value of one column of a row. Octet strings are appended to storage,
// which keeps them alive for the caller.
AsnAny ColumnValue(const InterfaceRow& row, std::uint32_t column,
                   std::vector<std::vector<std::uint8_t>>& storage) {
    switch (column) {
        case 1: return Integer(static_cast<std::int32_t>(row.index));
        case 3: return Integer(row.type);
        case 4: return Integer(row.mtu);
        case 5: return Gauge(row.speed);
        case 7: return Integer(row.adminStatus);
        case 8: return Integer(row.operStatus);
        default: break;
    }
    if (column == 2) {
        storage.emplace_back(row.name.begin(), row.name.end());
    } else {
        storage.push_back(row.physAddress);
    }
    AsnAny any;
    any.asnType = kAsnOctetString;
    any.asnValue.string.stream = storage.back().data();
    any.asnValue.string.length = static_cast<std::uint32_t>(storage.back().size());
    return any;
}

}  // namespace

InterfaceTableAgent::InterfaceTableAgent(std::string sysClassNet)
    : sysClassNet_(std::move(sysClassNet)) {}

bool InterfaceTableAgent::Init(std::uint32_t /*timeZeroReference*/, void** trapEvent,
                               AsnObjectIdentifier* supportedView) {
    rows_ = ReadInterfaceTable(sysClassNet_);
    if (trapEvent != nullptr) *trapEvent = nullptr;
    if (supportedView != nullptr) {
        supportedView->idLength = static_cast<std::uint32_t>(std::size(interfacesGroup_));
        supportedView->ids = interfacesGroup_;
    }
    return true;
}

bool InterfaceTableAgent::Query(std::uint8_t requestType, SnmpVarBindList* bindings,
                                std::int32_t* errorStatus, std::int32_t* errorIndex) {
    auto fail = [&](std::int32_t status, std::int32_t index) {
        if (errorStatus != nullptr) *errorStatus = status;
        if (errorIndex != nullptr) *errorIndex = index;
        return false;
    };
    if (requestType != kSnmpPduGetNext || bindings == nullptr ||
        (bindings->len != 0 && bindings->list == nullptr)) {
        return fail(kSnmpErrorGenErr, 0);
    }

    // Find every answer first: a request that cannot be answered in full
    // leaves all bindings as they were.
    std::vector<Answer> answers;
    std::vector<std::vector<std::uint8_t>> storage;
    storage.reserve(bindings->len);  // the answers point into these buffers
    for (std::uint32_t i = 0; i < bindings->len; ++i) {
        const ObjectName current = NameOf(bindings->list[i].name);
        bool found = false;
        // Objects in ascending name order: column by column, rows by ifIndex.
        for (std::uint32_t column = kFirstColumn; column <= kLastColumn && !found; ++column) {
            for (const InterfaceRow& row : rows_) {
                ObjectName candidate = ObjectNameFor(column, row.index);
                if (current < candidate) {
                    answers.push_back({std::move(candidate), ColumnValue(row, column, storage)});
                    found = true;
                    break;
                }
            }
        }
        if (!found) return fail(kSnmpErrorNoSuchName, static_cast<std::int32_t>(i + 1));
    }

    using SubIdentifiers = std::unique_ptr<std::uint32_t[], void (*)(std::uint32_t*)>;
    std::vector<SubIdentifiers> names;
    for (const Answer& answer : answers) {
        names.emplace_back(AllocateSubIdentifiers(static_cast<std::uint32_t>(answer.name.size())),
                           &FreeSubIdentifiers);
        std::copy(answer.name.begin(), answer.name.end(), names.back().get());
    }

    for (std::uint32_t i = 0; i < bindings->len; ++i) {
        SnmpVarBind& binding = bindings->list[i];
        FreeSubIdentifiers(binding.name.ids);
        binding.name.ids = names[i].release();
        binding.name.idLength = static_cast<std::uint32_t>(answers[i].name.size());
        binding.value = answers[i].value;
    }
    answeredOctets_ = std::move(storage);
    if (errorStatus != nullptr) *errorStatus = kSnmpErrorNoError;
    if (errorIndex != nullptr) *errorIndex = 0;
    return true;
}

}  // namespace OrvaneIdentity
