#pragma once

#include "HttpClientLayer.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace OrvaneLib {

// Limits that keep a call from hanging. Tests shorten them.
struct CurlHttpClientOptions {
    // A connection (TCP, TLS and any proxy tunnel) must be made within this time.
    std::chrono::milliseconds connectTimeout{std::chrono::seconds(30)};
    // A transfer during which no byte moves for this long fails.
    std::chrono::milliseconds stallTimeout{std::chrono::seconds(60)};
};

// The HTTP client layer on libcurl. Sessions, connections and requests are
// plain records until a request is sent; the whole exchange happens in
// SendRequest and ReadFile then hands out the stored reply.
//
// Besides the arguments it honours two environment variables, read at every
// send: ORVANE_CONNECT_TO (curl's "HOST:PORT:CONNECT-HOST:CONNECT-PORT",
// comma-separated) and ORVANE_CA_BUNDLE (a PEM file of trusted CAs).
// Certificate and host-name checks are always on.
class CurlHttpClient final : public HttpClientLayer {
public:
    explicit CurlHttpClient(CurlHttpClientOptions options = {});
    ~CurlHttpClient() override;
    CurlHttpClient(const CurlHttpClient&) = delete;
    CurlHttpClient& operator=(const CurlHttpClient&) = delete;

    std::uint32_t AttemptConnect(std::uint32_t reserved) override;
    HttpHandle Open(const std::string& agent, std::uint32_t accessType, const std::string& proxy,
                    const std::string& proxyBypass, std::uint32_t flags) override;
    bool CrackUrl(const std::string& url, std::uint32_t flags, UrlComponents& components) override;
    HttpHandle Connect(HttpHandle session, const std::string& serverName, std::uint16_t port,
                       const std::string& userName, const std::string& password,
                       std::uint32_t service, std::uint32_t flags, std::uintptr_t context) override;
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
    struct Session {
        std::string agent;
        std::uint32_t accessType = 0;
        std::string proxy;
        std::string proxyBypass;
    };
    struct Connection {
        HttpHandle session = HttpHandle::None;
        std::string serverName;
        std::uint16_t port = 0;
        std::string userName;
        std::string password;
        std::string proxyUserName;
        std::string proxyPassword;
    };
    struct Request {
        HttpHandle connection = HttpHandle::None;
        std::string verb;
        std::string objectName;
        long httpVersion = 0;  // a CURL_HTTP_VERSION_* value
        std::vector<std::string> acceptTypes;
        std::uint32_t flags = 0;
        std::vector<std::string> headerLines;
        bool sent = false;
        long status = 0;
        std::string reply;
        std::size_t readOffset = 0;
    };

    bool Perform(const Session& session, const Connection& connection, Request& request,
                 const std::string& body);

    HttpHandle NextHandle();
    bool Fail(std::uint32_t error);
    HttpHandle FailHandle(std::uint32_t error);
    Session* FindSession(HttpHandle handle);
    Connection* FindConnection(HttpHandle handle);
    Request* FindRequest(HttpHandle handle);

    CurlHttpClientOptions options_;
    std::uint32_t nextHandle_ = 1;
    std::uint32_t lastError_ = WinInet::ErrorSuccess;
    std::map<HttpHandle, Session> sessions_;
    std::map<HttpHandle, Connection> connections_;
    std::map<HttpHandle, Request> requests_;
};

}  // namespace OrvaneLib
