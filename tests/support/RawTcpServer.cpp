#include "RawTcpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace OrvaneTest {
namespace {

constexpr std::chrono::seconds kReadLimit{10};

sockaddr_in LoopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int BoundPort(int descriptor) {
    sockaddr_in address{};
    socklen_t length = sizeof(address);
    if (getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
    return ntohs(address.sin_port);
}

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return text;
}

}  // namespace

std::string RawHttpRequest::RequestLine() const { return head.substr(0, head.find("\r\n")); }

std::string RawHttpRequest::Header(const std::string& name) const {
    const std::string wanted = Lowered(name) + ":";
    std::size_t begin = head.find("\r\n");
    while (begin != std::string::npos && begin + 2 < head.size()) {
        begin += 2;
        const std::size_t end = head.find("\r\n", begin);
        const std::string line = head.substr(begin, end - begin);
        if (Lowered(line.substr(0, wanted.size())) == wanted) {
            const std::size_t value = line.find_first_not_of(' ', wanted.size());
            return value == std::string::npos ? std::string() : line.substr(value);
        }
        begin = end;
    }
    return std::string();
}

TcpConnection::TcpConnection(int descriptor) : descriptor_(descriptor) {}

TcpConnection::~TcpConnection() { close(descriptor_); }

std::optional<RawHttpRequest> TcpConnection::ReadHttpRequest() {
    const auto deadline = std::chrono::steady_clock::now() + kReadLimit;
    auto readMore = [&]() {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd poller{descriptor_, POLLIN, 0};
        if (poll(&poller, 1, static_cast<int>(left.count())) <= 0) return false;
        char chunk[4096];
        const ssize_t received = recv(descriptor_, chunk, sizeof(chunk), 0);
        if (received <= 0) return false;
        buffered_.append(chunk, static_cast<std::size_t>(received));
        return true;
    };

    std::size_t headEnd;
    while ((headEnd = buffered_.find("\r\n\r\n")) == std::string::npos) {
        if (!readMore()) return std::nullopt;
    }
    RawHttpRequest request;
    request.head = buffered_.substr(0, headEnd + 4);
    const std::string lengthText = request.Header("Content-Length");
    const std::size_t length = lengthText.empty() ? 0 : std::strtoul(lengthText.c_str(), nullptr, 10);
    while (buffered_.size() < headEnd + 4 + length) {
        if (!readMore()) return std::nullopt;
    }
    request.body = buffered_.substr(headEnd + 4, length);
    buffered_.erase(0, headEnd + 4 + length);
    return request;
}

bool TcpConnection::Send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = send(descriptor_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

void TcpConnection::ResetOnClose() {
    const linger immediately{1, 0};
    setsockopt(descriptor_, SOL_SOCKET, SO_LINGER, &immediately, sizeof(immediately));
}

bool TcpConnection::WaitForPeerClose(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd poller{descriptor_, POLLIN, 0};
        if (poll(&poller, 1, static_cast<int>(left.count())) <= 0) continue;
        char discard[4096];
        if (recv(descriptor_, discard, sizeof(discard), 0) <= 0) return true;
    }
}

std::unique_ptr<TcpConnection> ConnectToLoopback(int port) {
    const int descriptor = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (descriptor < 0) throw std::runtime_error("cannot create a socket");
    auto connection = std::make_unique<TcpConnection>(descriptor);
    const sockaddr_in address = LoopbackAddress(port);
    if (connect(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        throw std::runtime_error("cannot connect to 127.0.0.1:" + std::to_string(port));
    }
    return connection;
}

int UnusedLoopbackPort() {
    const int descriptor = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = LoopbackAddress(0);
    const int port = bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0
                         ? BoundPort(descriptor)
                         : 0;
    close(descriptor);
    if (port == 0) throw std::runtime_error("cannot find a free loopback port");
    return port;
}

struct RawTcpServer::State {
    Handler handler;
    int listener = -1;
    int port = 0;
    std::thread acceptor;

    std::mutex mutex;
    bool stopping = false;
    std::set<int> open;
    std::vector<std::thread> workers;

    void Accept() {
        for (;;) {
            const int descriptor = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (descriptor < 0) {
                if (errno == EINTR || errno == ECONNABORTED) continue;
                return;  // the listener was shut down
            }
            const std::lock_guard<std::mutex> lock(mutex);
            if (stopping) {
                close(descriptor);
                return;
            }
            open.insert(descriptor);
            workers.emplace_back([this, descriptor] { Serve(descriptor); });
        }
    }

    void Serve(int descriptor) {
        TcpConnection connection(descriptor);
        try {
            handler(connection);
        } catch (...) {
            // A failing handler only ends its own connection.
        }
        const std::lock_guard<std::mutex> lock(mutex);
        open.erase(descriptor);
    }  // the connection closes after it left the open set

    void Stop() {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
            for (const int descriptor : open) shutdown(descriptor, SHUT_RDWR);
        }
        shutdown(listener, SHUT_RDWR);
        if (acceptor.joinable()) acceptor.join();
        close(listener);
        for (std::thread& worker : workers) worker.join();
    }
};

RawTcpServer::RawTcpServer(Handler handler) : state_(std::make_unique<State>()) {
    state_->handler = std::move(handler);
    state_->listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = LoopbackAddress(0);
    if (state_->listener < 0 ||
        bind(state_->listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(state_->listener, 16) != 0) {
        if (state_->listener >= 0) close(state_->listener);
        throw std::runtime_error("raw server: cannot listen on 127.0.0.1");
    }
    state_->port = BoundPort(state_->listener);
    state_->acceptor = std::thread([state = state_.get()] { state->Accept(); });
}

RawTcpServer::~RawTcpServer() { state_->Stop(); }

int RawTcpServer::Port() const { return state_->port; }

}  // namespace OrvaneTest
