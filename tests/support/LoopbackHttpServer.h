#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace OrvaneTest {

struct TestCertificates;

// One request as the server received it.
struct RecordedRequest {
    std::string method;
    std::string target;   // as sent on the request line, query included
    std::string version;  // "HTTP/1.0" or "HTTP/1.1"
    std::vector<std::pair<std::string, std::string>> headers;  // in arrival order of names
    std::string body;

    // The first value of a header, its name compared without regard to
    // case; empty when absent.
    std::string Header(const std::string& name) const;
};

struct ScriptedReply {
    int status = 200;
    std::string body;
    std::string contentType = "application/xml";
    std::vector<std::pair<std::string, std::string>> headers;  // e.g. {"Location", "..."}
};

// A cpp-httplib server on 127.0.0.1 and an ephemeral port, running on its
// own thread from construction to destruction. Every request, whatever its
// method and path, is recorded and answered with a scripted reply: the
// responder if one is set, else the reply set for its path (without query),
// else the default reply (404, empty, unless set). Every connection carries
// one request and is closed after the reply.
class LoopbackHttpServer {
public:
    using Responder = std::function<ScriptedReply(const RecordedRequest&)>;

    LoopbackHttpServer();                                          // plain HTTP
    explicit LoopbackHttpServer(const TestCertificates& certificates);  // HTTPS
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    int Port() const;

    void SetReply(const std::string& path, ScriptedReply reply);
    void SetDefaultReply(ScriptedReply reply);
    void SetResponder(Responder responder);

    std::vector<RecordedRequest> Requests() const;
    // Forgets the recorded requests and every scripted reply.
    void Reset();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace OrvaneTest
