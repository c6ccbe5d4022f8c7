#pragma once

#include <memory>
#include <string>
#include <vector>

namespace OrvaneTest {

// A tiny HTTP forward proxy on 127.0.0.1 and an ephemeral port. It relays
// absolute-form requests ("POST http://host/path HTTP/1.0") and CONNECT
// tunnels, but always to one upstream loopback port, whatever host the
// request names, so tests can use made-up host names.
class ForwardProxy {
public:
    enum class Mode {
        Open,                // relays everything
        RequireCredentials,  // 407 unless Proxy-Authorization is Basic user:password
        RefuseAll,           // 407 to everything
    };

    struct SeenRequest {
        std::string requestLine;         // e.g. "CONNECT orvane.test:443 HTTP/1.1"
        std::string proxyAuthorization;  // the header's value, empty when absent
        bool relayed = false;            // passed on upstream
    };

    explicit ForwardProxy(int upstreamPort, Mode mode = Mode::Open, std::string user = "",
                          std::string password = "");
    ~ForwardProxy();
    ForwardProxy(const ForwardProxy&) = delete;
    ForwardProxy& operator=(const ForwardProxy&) = delete;

    int Port() const;
    std::vector<SeenRequest> Requests() const;
    void Clear();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace OrvaneTest
