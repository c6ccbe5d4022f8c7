// Connections kept between calls: the libcurl layer asks for keep-alive when
// the request flags carry the keep-connection flag, later calls on the same
// thread reuse the connection, a connection the server has closed is
// replaced without a failure and without sending the request twice, and
// threads calling at once each get an answer.
#include <OrvaneLib/HttpTransport.h>
#include <OrvaneLib/OrvaneException.h>
#include <OrvaneLib/Responses.h>

#include "CurlHttpClient.h"
#include "HttpClientLayer.h"
#include "LoopbackServices.h"
#include "RawTcpServer.h"

#include <gtest/gtest.h>

#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace OrvaneLib {
namespace {

using OrvaneTest::RawHttpRequest;
using OrvaneTest::TcpConnection;

const std::string kReplyBody = "<r><statuscode>1</statuscode><message>kept</message></r>";
// HTTP/1.1 without "Connection: close": the connection may stay open.
const std::string kReply = "HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nContent-Length: " +
                           std::to_string(kReplyBody.size()) + "\r\n\r\n" + kReplyBody;

// What the server does with a connection after answering a request.
enum class AfterReply {
    KeepOpen,          // waits for the next request on it
    CloseAtOnce,       // closes it straight after the reply
    CloseWhenSignaled, // closes it and reports that it did, before the next call
};

// A raw HTTP server that records every request it reads and the connection
// it came on.
class RecordingServer {
public:
    explicit RecordingServer(AfterReply afterReply)
        : afterReply_(afterReply),
          server_(std::make_unique<OrvaneTest::RawTcpServer>([this](TcpConnection& connection) { Serve(connection); })) {}

    ~RecordingServer() { server_.reset(); }  // joins the connection threads before the members go

    int Port() const { return server_->Port(); }

    struct Seen {
        int connection;
        RawHttpRequest request;
    };
    std::vector<Seen> Requests() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }
    int Connections() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return connections_;
    }

    // Waits until the server has closed `count` connections.
    bool WaitForClosedConnections(int count) {
        std::unique_lock<std::mutex> lock(mutex_);
        return closed_.wait_for(lock, std::chrono::seconds(10), [&] { return closedConnections_ >= count; });
    }

private:
    void Serve(TcpConnection& connection) {
        int id = 0;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            id = ++connections_;
        }
        while (std::optional<RawHttpRequest> request = connection.ReadHttpRequest()) {
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back({id, *request});
            }
            if (!connection.Send(kReply)) return;
            if (afterReply_ == AfterReply::KeepOpen) continue;
            shutdown(connection.Descriptor(), SHUT_RDWR);  // the FIN goes out now
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                ++closedConnections_;
            }
            closed_.notify_all();
            return;
        }
    }

    const AfterReply afterReply_;
    mutable std::mutex mutex_;
    std::condition_variable closed_;
    int connections_ = 0;
    int closedConnections_ = 0;
    std::vector<Seen> requests_;
    std::unique_ptr<OrvaneTest::RawTcpServer> server_;  // last: stops before the rest goes
};

// Calls the server through the transport and the libcurl layer, as the
// client does, under a host name of the test's own.
class ConnectionReuseTest : public ::testing::Test {
protected:
    void Connect(const std::string& host, const RecordingServer& server) {
        host_ = host;
        connectTo_.reset();  // restores the variable before it is set again
        connectTo_ = std::make_unique<ScopedEnvironment>(
            "ORVANE_CONNECT_TO", host + ":80:127.0.0.1:" + std::to_string(server.Port()));
    }

    // One call; the exception's message when it raises.
    std::string Call() const {
        ConnectionSettings settings;
        settings.serviceUrl = "http://" + host_ + "/qrmapps/web/services";
        RequestParameters parameters{{"Action", "qrmPutStates"}, {"HttpRequestString", "<doc/>\nSIGNATURE"}};
        PutStatesResponse response;
        CurlHttpClient layer;
        try {
            SendHttpRequest(response, settings, parameters, layer);
        } catch (const OrvaneException& error) {
            return error.message;
        }
        return response.message == "kept" ? "" : "unexpected reply: " + response.responseXml;
    }

    std::string host_;
    std::unique_ptr<ScopedEnvironment> connectTo_;
    ScopedEnvironment noCaBundle_{"ORVANE_CA_BUNDLE", std::nullopt};
    ScopedEnvironment noHttpProxy_{"http_proxy", std::nullopt};
};

TEST_F(ConnectionReuseTest, CallsOnOneThreadShareOneKeptConnection) {
    RecordingServer server(AfterReply::KeepOpen);
    Connect("kept.test", server);
    for (int call = 0; call < 3; ++call) ASSERT_EQ(Call(), "") << "call " << call;

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(server.Connections(), 1);
    for (const auto& seen : requests) {
        EXPECT_EQ(seen.request.RequestLine(), "POST /qrmapps/web/services/qrmPutStates HTTP/1.0");
        EXPECT_EQ(seen.request.Header("Connection"), "Keep-Alive");
    }
}

// Whichever way the server drops the kept connection, the next call opens a
// new one and the server reads each request exactly once.
TEST_F(ConnectionReuseTest, ConnectionClosedByTheServerIsReplacedWithoutResending) {
    const struct {
        const char* name;
        AfterReply afterReply;
    } cases[] = {
        {"closed while idle, before the next call", AfterReply::CloseWhenSignaled},
        {"closed straight after the reply", AfterReply::CloseAtOnce},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingServer server(c.afterReply);
        Connect(std::string("closing-") + (c.afterReply == AfterReply::CloseAtOnce ? "fast" : "idle") + ".test",
                server);

        ASSERT_EQ(Call(), "");
        if (c.afterReply == AfterReply::CloseWhenSignaled) {
            ASSERT_TRUE(server.WaitForClosedConnections(1));
        }
        ASSERT_EQ(Call(), "");

        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(server.Connections(), 2);
        EXPECT_NE(requests[0].connection, requests[1].connection);
    }
}

// The layer on its own, with request flags without the keep-connection flag.
TEST_F(ConnectionReuseTest, WithoutTheKeepConnectionFlagEachCallHasItsOwnConnection) {
    RecordingServer server(AfterReply::KeepOpen);
    Connect("unkept.test", server);
    for (int call = 0; call < 2; ++call) {
        CurlHttpClient layer;
        const HttpHandle session = layer.Open("agent", WinInet::OpenTypeDirect, "", "", 0);
        const HttpHandle connection =
            layer.Connect(session, host_, WinInet::DefaultHttpPort, "", "", WinInet::ServiceHttp, 0, 0);
        const HttpHandle request =
            layer.OpenRequest(connection, "POST", "/qrmapps/web/services/qrmPutStates", "HTTP/1.0", "", {"*/*"},
                              WinInet::FlagReload | WinInet::FlagPragmaNoCache, 0);
        ASSERT_TRUE(layer.SendRequest(request, "", "<doc/>")) << "call " << call;
        layer.CloseHandle(session);
    }

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(server.Connections(), 2);
    for (const auto& seen : requests) EXPECT_EQ(seen.request.Header("Connection"), "");
}

TEST_F(ConnectionReuseTest, ThreadsCallingAtOnceEachKeepTheirOwnConnection) {
    RecordingServer server(AfterReply::KeepOpen);
    Connect("threads.test", server);
    constexpr int kThreads = 4;
    constexpr int kCallsPerThread = 25;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int call = 0; call < kCallsPerThread; ++call) {
                if (!Call().empty()) ++failures;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();

    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(server.Requests().size(), static_cast<std::size_t>(kThreads * kCallsPerThread));
    EXPECT_EQ(server.Connections(), kThreads);
}

}  // namespace
}  // namespace OrvaneLib
