#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace OrvaneTest {

// An HTTP request as raw bytes: the head (request line and header lines,
// up to and including the empty line) and the body.
struct RawHttpRequest {
    std::string head;
    std::string body;

    std::string RequestLine() const;
    // The first value of a header, name compared without regard to case.
    std::string Header(const std::string& name) const;
};

// One accepted or opened TCP connection; closed on destruction.
class TcpConnection {
public:
    explicit TcpConnection(int descriptor);
    ~TcpConnection();
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    // Reads a request head and as many body bytes as its Content-Length
    // says. Nothing when the peer closes first or 10 seconds pass.
    std::optional<RawHttpRequest> ReadHttpRequest();
    bool Send(std::string_view bytes);
    // Makes the close at destruction a reset (RST) instead of a FIN.
    void ResetOnClose();
    // Waits until the peer closes the connection; false when the limit passes first.
    bool WaitForPeerClose(std::chrono::milliseconds limit);
    int Descriptor() const { return descriptor_; }

private:
    int descriptor_;
    std::string buffered_;  // bytes read past the end of the last request
};

// Opens a connection to 127.0.0.1:port; throws std::runtime_error on failure.
std::unique_ptr<TcpConnection> ConnectToLoopback(int port);

// A loopback port on which nothing listens (bound once, then released).
int UnusedLoopbackPort();

// A TCP server on 127.0.0.1 and an ephemeral port for replies no HTTP
// library would send (resets, stalls) and for reading the exact request
// bytes. Every accepted connection runs the handler on a thread of its own.
// Destruction stops accepting, shuts down open connections and joins.
class RawTcpServer {
public:
    using Handler = std::function<void(TcpConnection&)>;

    explicit RawTcpServer(Handler handler);
    ~RawTcpServer();
    RawTcpServer(const RawTcpServer&) = delete;
    RawTcpServer& operator=(const RawTcpServer&) = delete;

    int Port() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace OrvaneTest
