#include "LoopbackServices.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <cstdlib>
#include <stdexcept>

namespace OrvaneLib {
namespace {

using OrvaneTest::ForwardProxy;
using OrvaneTest::TcpConnection;

LoopbackServices* instance = nullptr;

// Every stop is bounded; the client's own time-outs end the call sooner.
constexpr std::chrono::seconds kServerPatience{20};

const char kPartialReplyHead[] =
    "HTTP/1.0 200 OK\r\nContent-Type: application/xml\r\nContent-Length: 100000\r\n\r\n"
    "<r><statuscode>1</statuscode><message>";

}  // namespace

ScopedEnvironment::ScopedEnvironment(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)) {
    if (const char* current = std::getenv(name_.c_str())) previous_ = current;
    if (value) {
        setenv(name_.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}

ScopedEnvironment::~ScopedEnvironment() {
    if (previous_) {
        setenv(name_.c_str(), previous_->c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}

CapturingServer::CapturingServer(std::string reply) : reply_(std::move(reply)) {
    server_ = std::make_unique<OrvaneTest::RawTcpServer>([this](TcpConnection& connection) {
        std::optional<OrvaneTest::RawHttpRequest> request = connection.ReadHttpRequest();
        if (!request) return;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            last_ = std::move(request);
        }
        connection.Send(reply_);
    });
}

std::optional<OrvaneTest::RawHttpRequest> CapturingServer::LastRequest() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return last_;
}

FullBacklogListener::FullBacklogListener() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    socklen_t length = sizeof(address);
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(listener_, 0) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot set up the full-backlog listener");
    }
    port_ = ntohs(address.sin_port);
    // Connect until an attempt stays unanswered: the queue is then full.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const int filler = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        fillers_.push_back(filler);
        if (connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) continue;
        pollfd poller{filler, POLLOUT, 0};
        if (poll(&poller, 1, 200) == 0) return;
    }
    throw std::runtime_error("the listener's queue never filled");
}

FullBacklogListener::~FullBacklogListener() {
    for (const int filler : fillers_) close(filler);
    close(listener_);
}

LoopbackServices& LoopbackServices::Get() {
    if (instance == nullptr) throw std::logic_error("LoopbackServices is not registered");
    return *instance;
}

void LoopbackServices::SetUp() {
    instance = this;
    folder = std::make_unique<OrvaneTest::TemporaryDirectory>();
    certificates = OrvaneTest::CreateTestCertificates(folder->Path(), {"qrm.test"});
    plain = std::make_unique<OrvaneTest::LoopbackHttpServer>();
    secure = std::make_unique<OrvaneTest::LoopbackHttpServer>(certificates);
    proxy = std::make_unique<ForwardProxy>(plain->Port());
    guardedProxy = std::make_unique<ForwardProxy>(plain->Port(), ForwardProxy::Mode::RequireCredentials,
                                                  kProxyUser, kProxyPassword);
    refusingProxy = std::make_unique<ForwardProxy>(plain->Port(), ForwardProxy::Mode::RefuseAll);
    tunnelProxy = std::make_unique<ForwardProxy>(secure->Port(), ForwardProxy::Mode::RequireCredentials,
                                                 kProxyUser, kProxyPassword);

    resettingServer = std::make_unique<OrvaneTest::RawTcpServer>([](TcpConnection& connection) {
        if (!connection.ReadHttpRequest()) return;
        connection.Send(kPartialReplyHead);
        connection.ResetOnClose();
    });
    silentServer = std::make_unique<OrvaneTest::RawTcpServer>([](TcpConnection& connection) {
        if (!connection.ReadHttpRequest()) return;
        connection.WaitForPeerClose(kServerPatience);
    });
    stallingServer = std::make_unique<OrvaneTest::RawTcpServer>([](TcpConnection& connection) {
        if (!connection.ReadHttpRequest()) return;
        connection.Send(kPartialReplyHead);
        connection.WaitForPeerClose(kServerPatience);
    });
    tricklingServer = std::make_unique<OrvaneTest::RawTcpServer>([](TcpConnection& connection) {
        if (!connection.ReadHttpRequest()) return;
        // Twenty short header lines: the head alone takes longer than the
        // stall limit, though a line completes every 100 ms.
        std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: application/xml\r\n";
        for (int line = 10; line < 30; ++line) reply += "X-Slow-" + std::to_string(line) + ": 1\r\n";
        reply += "\r\n<r><statuscode>1</statuscode><message>slow but steady</message></r>";
        for (std::size_t offset = 0; offset < reply.size(); offset += 8) {
            if (!connection.Send(reply.substr(offset, 8))) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    unansweredListener = std::make_unique<FullBacklogListener>();
    capturingServer = std::make_unique<CapturingServer>(
        "HTTP/1.0 200 OK\r\nContent-Type: application/xml\r\nContent-Length: 43\r\n\r\n"
        "<r><statuscode>1</statuscode><message/></r>");
}

void LoopbackServices::TearDown() {
    capturingServer.reset();
    unansweredListener.reset();
    tricklingServer.reset();
    stallingServer.reset();
    silentServer.reset();
    resettingServer.reset();
    tunnelProxy.reset();
    refusingProxy.reset();
    guardedProxy.reset();
    proxy.reset();
    secure.reset();
    plain.reset();
    folder.reset();
    instance = nullptr;
}

std::string ConnectTo(const std::string& hostAndPort, int port) {
    return hostAndPort + ":127.0.0.1:" + std::to_string(port);
}

}  // namespace OrvaneLib
