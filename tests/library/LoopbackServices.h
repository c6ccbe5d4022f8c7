#pragma once

// The servers of the real-network library tests, started once per test
// binary on loopback: a plain and a TLS service, forward proxies in front
// of each, and raw servers for faults.
#include "ForwardProxy.h"
#include "LoopbackHttpServer.h"
#include "RawTcpServer.h"
#include "TemporaryDirectory.h"
#include "TestCertificates.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace OrvaneLib {

// Sets an environment variable (or removes it, for nullopt) for one scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// A raw server that keeps the bytes of the last request it read.
class CapturingServer {
public:
    // Answers every request with `reply` (a whole HTTP response).
    explicit CapturingServer(std::string reply);
    int Port() const { return server_->Port(); }
    std::optional<OrvaneTest::RawHttpRequest> LastRequest() const;

private:
    std::string reply_;
    mutable std::mutex mutex_;
    std::optional<OrvaneTest::RawHttpRequest> last_;
    std::unique_ptr<OrvaneTest::RawTcpServer> server_;
};

// A listener whose accept queue is full, so that a further connection
// attempt is never answered (its SYN is dropped) until the caller gives up.
class FullBacklogListener {
public:
    FullBacklogListener();
    ~FullBacklogListener();
    FullBacklogListener(const FullBacklogListener&) = delete;
    FullBacklogListener& operator=(const FullBacklogListener&) = delete;
    int Port() const { return port_; }

private:
    int listener_ = -1;
    int port_ = 0;
    std::vector<int> fillers_;
};

class LoopbackServices : public ::testing::Environment {
public:
    static constexpr const char* kProxyUser = "alice";
    static constexpr const char* kProxyPassword = "s3cret";

    void SetUp() override;
    void TearDown() override;

    // The one instance, registered by the test binary.
    static LoopbackServices& Get();

    std::unique_ptr<OrvaneTest::TemporaryDirectory> folder;
    OrvaneTest::TestCertificates certificates;  // for "qrm.test"
    std::unique_ptr<OrvaneTest::LoopbackHttpServer> plain;
    std::unique_ptr<OrvaneTest::LoopbackHttpServer> secure;
    std::unique_ptr<OrvaneTest::ForwardProxy> proxy;            // open, to plain
    std::unique_ptr<OrvaneTest::ForwardProxy> guardedProxy;     // alice/s3cret, to plain
    std::unique_ptr<OrvaneTest::ForwardProxy> refusingProxy;    // 407 to all
    std::unique_ptr<OrvaneTest::ForwardProxy> tunnelProxy;      // alice/s3cret, to secure
    std::unique_ptr<OrvaneTest::RawTcpServer> resettingServer;  // resets in the middle of the body
    std::unique_ptr<OrvaneTest::RawTcpServer> silentServer;     // reads the request, never answers
    std::unique_ptr<OrvaneTest::RawTcpServer> stallingServer;   // stops in the middle of the body
    std::unique_ptr<OrvaneTest::RawTcpServer> tricklingServer;  // sends its reply a few bytes at a time
    std::unique_ptr<FullBacklogListener> unansweredListener;
    std::unique_ptr<CapturingServer> capturingServer;
};

// "qrm.test:80:127.0.0.1:<port>"
std::string ConnectTo(const std::string& hostAndPort, int port);

}  // namespace OrvaneLib
