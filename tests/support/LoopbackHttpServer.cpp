#include "LoopbackHttpServer.h"

#include "TestCertificates.h"

#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace OrvaneTest {
namespace {

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// httplib files the peer's addresses as headers; they never crossed the wire.
bool IsAddedByHttplib(const std::string& name) {
    for (const char* added : {"REMOTE_ADDR", "REMOTE_PORT", "LOCAL_ADDR", "LOCAL_PORT"}) {
        if (name == added) return true;
    }
    return false;
}

ScriptedReply NotFound() {
    ScriptedReply reply;
    reply.status = 404;
    reply.contentType = "text/plain";
    return reply;
}

}  // namespace

std::string RecordedRequest::Header(const std::string& name) const {
    for (const auto& [headerName, value] : headers) {
        if (EqualsIgnoringCase(headerName, name)) return value;
    }
    return std::string();
}

struct LoopbackHttpServer::State {
    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    int port = 0;

    mutable std::mutex mutex;
    std::map<std::string, ScriptedReply> replies;
    ScriptedReply defaultReply = NotFound();
    Responder responder;
    std::vector<RecordedRequest> requests;

    void Answer(const httplib::Request& request, httplib::Response& response) {
        RecordedRequest recorded;
        recorded.method = request.method;
        recorded.target = request.target;
        recorded.version = request.version;
        for (const auto& [name, value] : request.headers) {
            if (!IsAddedByHttplib(name)) recorded.headers.emplace_back(name, value);
        }
        recorded.body = request.body;

        ScriptedReply reply;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            requests.push_back(recorded);
            if (responder) {
                reply = responder(recorded);
            } else {
                const auto found = replies.find(request.path);
                reply = found != replies.end() ? found->second : defaultReply;
            }
        }
        response.status = reply.status;
        for (const auto& [name, value] : reply.headers) response.set_header(name, value);
        response.set_content(reply.body, reply.contentType.c_str());
    }

    void Start() {
        if (!server->is_valid()) throw std::runtime_error("loopback server: cannot set up the server");
        const httplib::Server::Handler handler = [this](const httplib::Request& request,
                                                       httplib::Response& response) {
            Answer(request, response);
        };
        server->Get(".*", handler).Post(".*", handler).Put(".*", handler).Delete(".*", handler);
        server->Patch(".*", handler).Options(".*", handler);
        // One request per connection, each reply with "Connection: close":
        // a client that keeps connections would otherwise leave an idle one
        // open, and stopping the server waits out its keep-alive time (5 s).
        server->set_keep_alive_max_count(1);

        port = server->bind_to_any_port("127.0.0.1");
        if (port <= 0) throw std::runtime_error("loopback server: cannot bind to 127.0.0.1");
        thread = std::thread([this] { server->listen_after_bind(); });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!server->is_running() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (!server->is_running()) {
            server->stop();
            thread.join();
            throw std::runtime_error("loopback server: did not start");
        }
    }
};

LoopbackHttpServer::LoopbackHttpServer() : state_(std::make_unique<State>()) {
    state_->server = std::make_unique<httplib::Server>();
    state_->Start();
}

LoopbackHttpServer::LoopbackHttpServer(const TestCertificates& certificates) : state_(std::make_unique<State>()) {
    state_->server = std::make_unique<httplib::SSLServer>(certificates.certificateFile.c_str(),
                                                          certificates.privateKeyFile.c_str());
    state_->Start();
}

LoopbackHttpServer::~LoopbackHttpServer() {
    state_->server->stop();
    if (state_->thread.joinable()) state_->thread.join();
}

int LoopbackHttpServer::Port() const { return state_->port; }

void LoopbackHttpServer::SetReply(const std::string& path, ScriptedReply reply) {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    state_->replies[path] = std::move(reply);
}

void LoopbackHttpServer::SetDefaultReply(ScriptedReply reply) {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    state_->defaultReply = std::move(reply);
}

void LoopbackHttpServer::SetResponder(Responder responder) {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    state_->responder = std::move(responder);
}

std::vector<RecordedRequest> LoopbackHttpServer::Requests() const {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->requests;
}

void LoopbackHttpServer::Reset() {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    state_->requests.clear();
    state_->replies.clear();
    state_->defaultReply = NotFound();
    state_->responder = nullptr;
}

}  // namespace OrvaneTest
