#include "FakeHttpClient.h"

#include "UrlParts.h"

#include <algorithm>
#include <cstdio>

namespace OrvaneLib {
namespace {

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%X", value);
    return text;
}

std::string Text(HttpHandle handle) { return std::to_string(static_cast<std::uint32_t>(handle)); }

std::string HandleName(const std::string& handle) {
    if (handle == Text(FakeHttpClient::kSession)) return "session";
    if (handle == Text(FakeHttpClient::kConnection)) return "connection";
    if (handle == Text(FakeHttpClient::kRequest)) return "request";
    return "unknown " + handle;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string joined;
    for (const std::string& item : items) joined += (joined.empty() ? "" : "|") + item;
    return joined;
}

}  // namespace

void FakeHttpClient::Record(std::string operation, std::vector<std::string> arguments) {
    calls_.push_back(FakeCall{std::move(operation), std::move(arguments)});
}

std::vector<std::string> FakeHttpClient::Operations() const {
    std::vector<std::string> operations;
    for (const FakeCall& call : calls_) operations.push_back(call.operation);
    return operations;
}

std::vector<std::string> FakeHttpClient::ClosedHandles() const {
    std::vector<std::string> closed;
    for (const FakeCall& call : CallsOf("CloseHandle")) closed.push_back(HandleName(call.arguments.at(0)));
    return closed;
}

std::vector<FakeCall> FakeHttpClient::CallsOf(const std::string& operation) const {
    std::vector<FakeCall> found;
    std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(found),
                 [&](const FakeCall& call) { return call.operation == operation; });
    return found;
}

std::uint32_t FakeHttpClient::AttemptConnect(std::uint32_t reserved) {
    Record("AttemptConnect", {std::to_string(reserved)});
    return script_.attemptConnectResult;
}

HttpHandle FakeHttpClient::Open(const std::string& agent, std::uint32_t accessType, const std::string& proxy,
                                const std::string& proxyBypass, std::uint32_t flags) {
    Record("Open", {agent, std::to_string(accessType), proxy, proxyBypass, Hex(flags)});
    return script_.openFails ? HttpHandle::None : kSession;
}

bool FakeHttpClient::CrackUrl(const std::string& url, std::uint32_t flags, UrlComponents& components) {
    Record("CrackUrl", {url, Hex(flags)});
    if (script_.crackUrlFails) return false;
    const std::optional<UrlComponents> split = SplitUrl(url);
    if (!split) return false;
    components = *split;
    return true;
}

HttpHandle FakeHttpClient::Connect(HttpHandle session, const std::string& serverName, std::uint16_t port,
                                   const std::string& userName, const std::string& password,
                                   std::uint32_t service, std::uint32_t flags, std::uintptr_t context) {
    Record("Connect", {Text(session), serverName, std::to_string(port), userName, password,
                       std::to_string(service), Hex(flags), std::to_string(context)});
    return script_.connectFails ? HttpHandle::None : kConnection;
}

HttpHandle FakeHttpClient::OpenRequest(HttpHandle connection, const std::string& verb,
                                       const std::string& objectName, const std::string& version,
                                       const std::string& referrer, const std::vector<std::string>& acceptTypes,
                                       std::uint32_t flags, std::uintptr_t context) {
    Record("OpenRequest", {Text(connection), verb, objectName, version, referrer, Joined(acceptTypes), Hex(flags),
                           std::to_string(context)});
    return script_.openRequestFails ? HttpHandle::None : kRequest;
}

bool FakeHttpClient::AddRequestHeaders(HttpHandle request, const std::string& headers, std::uint32_t modifiers) {
    Record("AddRequestHeaders", {Text(request), headers, Hex(modifiers)});
    return true;
}

bool FakeHttpClient::SetOption(HttpHandle handle, std::uint32_t option, const std::string& value) {
    Record("SetOption", {Text(handle), std::to_string(option), value});
    return true;
}

bool FakeHttpClient::SendRequest(HttpHandle request, const std::string& headers, const std::string& optional) {
    Record("SendRequest", {Text(request), headers, optional});
    return !script_.sendFails;
}

std::uint32_t FakeHttpClient::GetLastError() {
    Record("GetLastError", {});
    return script_.lastError;
}

bool FakeHttpClient::QueryInfo(HttpHandle request, std::uint32_t infoLevel, std::uint32_t& value) {
    Record("QueryInfo", {Text(request), Hex(infoLevel)});
    if (script_.queryInfoFails) return false;
    value = script_.status;
    return true;
}

bool FakeHttpClient::ReadFile(HttpHandle request, char* buffer, std::size_t size, std::size_t& bytesRead) {
    Record("ReadFile", {Text(request), std::to_string(size)});
    bytesRead = std::min(size, script_.reply.size() - readOffset_);
    std::copy_n(script_.reply.data() + readOffset_, bytesRead, buffer);
    readOffset_ += bytesRead;
    return true;
}

bool FakeHttpClient::CloseHandle(HttpHandle handle) {
    Record("CloseHandle", {Text(handle)});
    return true;
}

}  // namespace OrvaneLib
