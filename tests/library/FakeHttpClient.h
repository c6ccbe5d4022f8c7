#pragma once

#include "HttpClientLayer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace OrvaneLib {

// What the fake answers. By default every call succeeds, the URL is split
// by the real SplitUrl and the status is 200 with an empty body.
struct FakeHttpScript {
    std::uint32_t attemptConnectResult = WinInet::ErrorSuccess;
    bool openFails = false;
    bool crackUrlFails = false;
    bool connectFails = false;
    bool openRequestFails = false;
    bool sendFails = false;
    std::uint32_t lastError = WinInet::ErrorSuccess;
    bool queryInfoFails = false;
    std::uint32_t status = 200;
    std::string reply;
};

// One call with its arguments as text (flags and option numbers in hex).
struct FakeCall {
    std::string operation;
    std::vector<std::string> arguments;
};

// A scripted HTTP client layer that records every call in order. Its
// handles are the fixed numbers below, so tests can name them.
class FakeHttpClient final : public HttpClientLayer {
public:
    static constexpr HttpHandle kSession = static_cast<HttpHandle>(11);
    static constexpr HttpHandle kConnection = static_cast<HttpHandle>(22);
    static constexpr HttpHandle kRequest = static_cast<HttpHandle>(33);

    explicit FakeHttpClient(FakeHttpScript script) : script_(std::move(script)) {}

    // The operation names in call order.
    std::vector<std::string> Operations() const;
    // "session", "connection" or "request" for each CloseHandle, in order.
    std::vector<std::string> ClosedHandles() const;
    // The calls of one operation, in order.
    std::vector<FakeCall> CallsOf(const std::string& operation) const;
    const std::vector<FakeCall>& Calls() const { return calls_; }

    std::uint32_t AttemptConnect(std::uint32_t reserved) override;
    HttpHandle Open(const std::string& agent, std::uint32_t accessType, const std::string& proxy,
                    const std::string& proxyBypass, std::uint32_t flags) override;
    bool CrackUrl(const std::string& url, std::uint32_t flags, UrlComponents& components) override;
    HttpHandle Connect(HttpHandle session, const std::string& serverName, std::uint16_t port,
                       const std::string& userName, const std::string& password, std::uint32_t service,
                       std::uint32_t flags, std::uintptr_t context) override;
    HttpHandle OpenRequest(HttpHandle connection, const std::string& verb, const std::string& objectName,
                           const std::string& version, const std::string& referrer,
                           const std::vector<std::string>& acceptTypes, std::uint32_t flags,
                           std::uintptr_t context) override;
    bool AddRequestHeaders(HttpHandle request, const std::string& headers, std::uint32_t modifiers) override;
    bool SetOption(HttpHandle handle, std::uint32_t option, const std::string& value) override;
    bool SendRequest(HttpHandle request, const std::string& headers, const std::string& optional) override;
    std::uint32_t GetLastError() override;
    bool QueryInfo(HttpHandle request, std::uint32_t infoLevel, std::uint32_t& value) override;
    bool ReadFile(HttpHandle request, char* buffer, std::size_t size, std::size_t& bytesRead) override;
    bool CloseHandle(HttpHandle handle) override;

private:
    void Record(std::string operation, std::vector<std::string> arguments);

    FakeHttpScript script_;
    std::vector<FakeCall> calls_;
    std::size_t readOffset_ = 0;
};

}  // namespace OrvaneLib
