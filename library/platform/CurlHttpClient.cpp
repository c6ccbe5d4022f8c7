#include "CurlHttpClient.h"

#include "CurlErrorCodes.h"
#include "CurlHandleCache.h"
#include "NetworkCheck.h"
#include "UrlParts.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>

namespace OrvaneLib {
namespace {

struct CurlSlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlSlist = std::unique_ptr<curl_slist, CurlSlistDeleter>;

void InitialiseCurlOnce() {
    static const CURLcode result = curl_global_init(CURL_GLOBAL_DEFAULT);
    static_cast<void>(result);  // a failure shows again in curl_easy_init
}

void Append(CurlSlist& list, const std::string& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (grown == nullptr) throw std::bad_alloc();
    static_cast<void>(list.release());
    list.reset(grown);
}

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string TrimSpaces(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// "a, b,,c" -> {"a", "b", "c"}
std::vector<std::string> SplitList(const std::string& text, char separator) {
    std::vector<std::string> items;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find(separator, begin);
        if (end == std::string::npos) end = text.size();
        std::string item = TrimSpaces(text.substr(begin, end - begin));
        if (!item.empty()) items.push_back(std::move(item));
        begin = end + 1;
    }
    return items;
}

// Header text of one or more lines ending in CR LF (or LF) -> the lines.
std::vector<std::string> HeaderLines(const std::string& headers) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < headers.size()) {
        std::size_t end = headers.find('\n', begin);
        if (end == std::string::npos) end = headers.size();
        std::string line = headers.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        begin = end + 1;
    }
    return lines;
}

std::optional<long> CurlHttpVersion(const std::string& version) {
    if (version == "HTTP/1.0") return CURL_HTTP_VERSION_1_0;
    if (version.empty() || version == "HTTP/1.1") return CURL_HTTP_VERSION_1_1;
    return std::nullopt;
}

std::string JoinAcceptTypes(const std::vector<std::string>& acceptTypes) {
    std::string joined;
    for (const std::string& type : acceptTypes) {
        if (!joined.empty()) joined += ", ";
        joined += type;
    }
    return joined;
}

// scheme://host[:port]/object for one request. Port 0 means the scheme's
// default; a default port stays out of the URL, and so out of the Host header.
std::string RequestUrl(bool secure, const std::string& serverName, std::uint16_t port, const std::string& objectName) {
    const std::uint16_t defaultPort = secure ? WinInet::DefaultHttpsPort : WinInet::DefaultHttpPort;
    const bool ipv6 = serverName.find(':') != std::string::npos;
    std::string url = std::string(secure ? "https://" : "http://") + (ipv6 ? "[" + serverName + "]" : serverName);
    if (port != 0 && port != defaultPort) url += ":" + std::to_string(port);
    if (objectName.empty() || objectName[0] != '/') url += '/';
    return url + EncodeUrlPath(objectName);
}

// The reply body collected by libcurl. Nothing may be thrown across
// libcurl's C frames, so a failed append is recorded and ends the transfer.
struct ReplySink {
    std::string* reply = nullptr;
    bool outOfMemory = false;
};

std::size_t WriteReply(char* data, std::size_t size, std::size_t count, void* userData) noexcept {
    auto* sink = static_cast<ReplySink*>(userData);
    const std::size_t bytes = size * count;
    try {
        sink->reply->append(data, bytes);
    } catch (...) {
        sink->outOfMemory = true;
        return 0;
    }
    return bytes;
}

// Ends a transfer during which no byte has moved, either way, for the
// stall limit once the request is on its way. Header bytes count as well
// as body bytes. libcurl calls it
// about once a second while nothing moves, and more often while data flows.
struct StallWatch {
    CURL* easy = nullptr;
    std::chrono::steady_clock::duration limit;
    std::chrono::steady_clock::time_point lastMove = std::chrono::steady_clock::now();
    curl_off_t bytesMoved = 0;
    bool stalled = false;
};

int WatchForStall(void* userData, curl_off_t /*downloadTotal*/, curl_off_t downloaded, curl_off_t /*uploadTotal*/,
                  curl_off_t uploaded) noexcept {
    auto* watch = static_cast<StallWatch*>(userData);
    long headerBytes = 0;
    long requestBytes = 0;
    curl_easy_getinfo(watch->easy, CURLINFO_HEADER_SIZE, &headerBytes);
    curl_easy_getinfo(watch->easy, CURLINFO_REQUEST_SIZE, &requestBytes);
    const curl_off_t moved = downloaded + uploaded + headerBytes + requestBytes;
    const auto now = std::chrono::steady_clock::now();
    // Until the request goes out the connection is being made, and the
    // connect time-out is the limit.
    if (requestBytes == 0 || moved != watch->bytesMoved) {
        watch->bytesMoved = moved;
        watch->lastMove = now;
        return 0;
    }
    watch->stalled = now - watch->lastMove >= watch->limit;
    return watch->stalled ? 1 : 0;
}

// Collects the options of one transfer; the first option libcurl refuses
// stops the transfer.
class EasyOptions {
public:
    explicit EasyOptions(CURL* easy) : easy_(easy) {}

    template <typename Value>
    void Set(CURLoption option, Value value) {
        if (result_ == CURLE_OK) result_ = curl_easy_setopt(easy_, option, value);
    }
    CURLcode Result() const { return result_; }

private:
    CURL* easy_;
    CURLcode result_ = CURLE_OK;
};

}  // namespace

CurlHttpClient::CurlHttpClient(CurlHttpClientOptions options) : options_(options) { InitialiseCurlOnce(); }

CurlHttpClient::~CurlHttpClient() = default;

HttpHandle CurlHttpClient::NextHandle() { return static_cast<HttpHandle>(nextHandle_++); }

bool CurlHttpClient::Fail(std::uint32_t error) {
    lastError_ = error;
    return false;
}

HttpHandle CurlHttpClient::FailHandle(std::uint32_t error) {
    lastError_ = error;
    return HttpHandle::None;
}

CurlHttpClient::Session* CurlHttpClient::FindSession(HttpHandle handle) {
    const auto found = sessions_.find(handle);
    return found == sessions_.end() ? nullptr : &found->second;
}

CurlHttpClient::Connection* CurlHttpClient::FindConnection(HttpHandle handle) {
    const auto found = connections_.find(handle);
    return found == connections_.end() ? nullptr : &found->second;
}

CurlHttpClient::Request* CurlHttpClient::FindRequest(HttpHandle handle) {
    const auto found = requests_.find(handle);
    return found == requests_.end() ? nullptr : &found->second;
}

std::uint32_t CurlHttpClient::AttemptConnect(std::uint32_t /*reserved*/) {
    return HasUsableNetworkInterface() ? WinInet::ErrorSuccess : WinInet::ErrorNotConnected;
}

HttpHandle CurlHttpClient::Open(const std::string& agent, std::uint32_t accessType, const std::string& proxy,
                                const std::string& proxyBypass, std::uint32_t /*flags*/) {
    const bool direct = accessType == WinInet::OpenTypeDirect;
    const bool viaProxy = accessType == WinInet::OpenTypeProxy && !proxy.empty();
    if (!direct && !viaProxy) return FailHandle(WinInet::ErrorInvalidParameter);

    const HttpHandle handle = NextHandle();
    sessions_[handle] = Session{agent, accessType, direct ? std::string() : proxy, proxyBypass};
    return handle;
}

bool CurlHttpClient::CrackUrl(const std::string& url, std::uint32_t /*flags*/, UrlComponents& components) {
    // The URL is taken as a NUL-terminated text; its parts always come back decoded.
    std::optional<UrlComponents> split = SplitUrl(std::string(url.c_str()));
    if (!split) return Fail(WinInet::ErrorInvalidUrl);
    components = std::move(*split);
    return true;
}

HttpHandle CurlHttpClient::Connect(HttpHandle session, const std::string& serverName, std::uint16_t port,
                                   const std::string& userName, const std::string& password,
                                   std::uint32_t service, std::uint32_t /*flags*/, std::uintptr_t /*context*/) {
    if (FindSession(session) == nullptr) return FailHandle(WinInet::ErrorInvalidHandle);
    if (service != WinInet::ServiceHttp) return FailHandle(WinInet::ErrorInvalidParameter);
    if (!IsValidHostName(serverName)) return FailHandle(WinInet::ErrorInvalidUrl);

    const HttpHandle handle = NextHandle();
    Connection& connection = connections_[handle];
    connection.session = session;
    connection.serverName = serverName;
    connection.port = port;
    connection.userName = userName;
    connection.password = password;
    return handle;
}

HttpHandle CurlHttpClient::OpenRequest(HttpHandle connection, const std::string& verb,
                                       const std::string& objectName, const std::string& version,
                                       const std::string& /*referrer*/,
                                       const std::vector<std::string>& acceptTypes, std::uint32_t flags,
                                       std::uintptr_t /*context*/) {
    if (FindConnection(connection) == nullptr) return FailHandle(WinInet::ErrorInvalidHandle);
    const std::optional<long> httpVersion = CurlHttpVersion(version);
    if (!httpVersion) return FailHandle(WinInet::ErrorInvalidParameter);

    const HttpHandle handle = NextHandle();
    Request& request = requests_[handle];
    request.connection = connection;
    request.verb = verb.empty() ? "GET" : verb;
    request.objectName = objectName;
    request.httpVersion = *httpVersion;
    request.acceptTypes = acceptTypes;
    request.flags = flags;
    return handle;
}

bool CurlHttpClient::AddRequestHeaders(HttpHandle handle, const std::string& headers,
                                       std::uint32_t /*modifiers*/) {
    Request* request = FindRequest(handle);
    if (request == nullptr) return Fail(WinInet::ErrorInvalidHandle);
    for (std::string& line : HeaderLines(headers)) request->headerLines.push_back(std::move(line));
    return true;
}

bool CurlHttpClient::SetOption(HttpHandle handle, std::uint32_t option, const std::string& value) {
    Connection* connection = FindConnection(handle);
    if (connection == nullptr) return Fail(WinInet::ErrorIncorrectHandleType);
    if (option == WinInet::OptionProxyUsername) {
        connection->proxyUserName = value;
    } else if (option == WinInet::OptionProxyPassword) {
        connection->proxyPassword = value;
    } else {
        return Fail(WinInet::ErrorInvalidOption);
    }
    return true;
}

bool CurlHttpClient::SendRequest(HttpHandle handle, const std::string& headers, const std::string& optional) {
    Request* request = FindRequest(handle);
    if (request == nullptr) return Fail(WinInet::ErrorInvalidHandle);
    const Connection* connection = FindConnection(request->connection);
    const Session* session = connection == nullptr ? nullptr : FindSession(connection->session);
    if (session == nullptr) return Fail(WinInet::ErrorInvalidHandle);

    for (std::string& line : HeaderLines(headers)) request->headerLines.push_back(std::move(line));
    request->sent = false;
    request->status = 0;
    request->reply.clear();
    request->readOffset = 0;
    return Perform(*session, *connection, *request, optional);
}

// The one place where libcurl runs a transfer.
bool CurlHttpClient::Perform(const Session& session, const Connection& connection, Request& request,
                             const std::string& body) {
    // This thread's handle, with the connections earlier calls left open.
    const CurlEasyLease lease;
    CURL* const easy = lease.Get();
    if (easy == nullptr) return Fail(WinInet::ErrorInternalError);

    const bool secure = (request.flags & WinInet::FlagSecure) != 0;
    const std::string url = RequestUrl(secure, connection.serverName, connection.port, request.objectName);
    // As WinINet does: an HTTP/1.0 request asks the server to keep the
    // connection only when the request flags say so, and without the flag
    // the connection is closed after the call.
    const bool keepConnection = (request.flags & WinInet::FlagKeepConnection) != 0;

    CurlSlist headerList;
    for (const std::string& line : request.headerLines) Append(headerList, line);
    Append(headerList, "Expect:");  // no "100-continue" round trip
    if (keepConnection && request.httpVersion == CURL_HTTP_VERSION_1_0) Append(headerList, "Connection: Keep-Alive");
    Append(headerList, request.acceptTypes.empty() ? "Accept:" : "Accept: " + JoinAcceptTypes(request.acceptTypes));

    CurlSlist connectTo;
    for (const std::string& entry : SplitList(EnvironmentValue("ORVANE_CONNECT_TO"), ',')) Append(connectTo, entry);
    const std::string caBundle = EnvironmentValue("ORVANE_CA_BUNDLE");

    ReplySink sink{&request.reply, false};
    EasyOptions options(easy);
    options.Set(CURLOPT_NOSIGNAL, 1L);
    options.Set(CURLOPT_FORBID_REUSE, keepConnection ? 0L : 1L);
    options.Set(CURLOPT_URL, url.c_str());
    options.Set(CURLOPT_PROTOCOLS_STR, "http,https");
    options.Set(CURLOPT_FOLLOWLOCATION, 1L);
    options.Set(CURLOPT_MAXREDIRS, 5L);
    options.Set(CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    options.Set(CURLOPT_HTTP_VERSION, request.httpVersion);
    options.Set(CURLOPT_POST, 1L);
    options.Set(CURLOPT_POSTFIELDS, body.data());
    options.Set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    if (request.verb != "POST") options.Set(CURLOPT_CUSTOMREQUEST, request.verb.c_str());
    options.Set(CURLOPT_HTTPHEADER, headerList.get());
    options.Set(CURLOPT_USERAGENT, session.agent.c_str());
    if (!connection.userName.empty()) {
        options.Set(CURLOPT_USERNAME, connection.userName.c_str());
        options.Set(CURLOPT_PASSWORD, connection.password.c_str());
        options.Set(CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_ANY));
    }

    // An empty proxy turns proxies off, environment variables included; an
    // empty bypass list sends every host through the given proxy, whatever
    // no_proxy says.
    options.Set(CURLOPT_PROXY, session.proxy.c_str());
    if (!session.proxy.empty()) {
        std::string bypass = session.proxyBypass;
        std::replace(bypass.begin(), bypass.end(), ';', ',');
        options.Set(CURLOPT_NOPROXY, bypass.c_str());
        if (!connection.proxyUserName.empty()) {
            options.Set(CURLOPT_PROXYUSERNAME, connection.proxyUserName.c_str());
            options.Set(CURLOPT_PROXYPASSWORD, connection.proxyPassword.c_str());
            options.Set(CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_ANY));
        }
    }

    options.Set(CURLOPT_SSL_VERIFYPEER, 1L);
    options.Set(CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caBundle.empty()) {
        options.Set(CURLOPT_CAINFO, caBundle.c_str());
        options.Set(CURLOPT_CAPATH, static_cast<const char*>(nullptr));
    }
    if (connectTo) options.Set(CURLOPT_CONNECT_TO, connectTo.get());

    StallWatch stallWatch{easy, options_.stallTimeout};
    options.Set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options_.connectTimeout.count()));
    options.Set(CURLOPT_NOPROGRESS, 0L);
    options.Set(CURLOPT_XFERINFOFUNCTION, &WatchForStall);
    options.Set(CURLOPT_XFERINFODATA, &stallWatch);

    options.Set(CURLOPT_WRITEFUNCTION, &WriteReply);
    options.Set(CURLOPT_WRITEDATA, &sink);
    if (options.Result() != CURLE_OK) return Fail(WinInet::ErrorInternalError);

    const CURLcode result = curl_easy_perform(easy);
    if (sink.outOfMemory || result == CURLE_OUT_OF_MEMORY) throw std::bad_alloc();

    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    long tunnelStatus = 0;
    curl_easy_getinfo(easy, CURLINFO_HTTP_CONNECTCODE, &tunnelStatus);
    if (result != CURLE_OK) {
        // A proxy that refuses the tunnel answers like any server: its
        // status (407 for credentials) is the request's status.
        if (tunnelStatus != 0 && (tunnelStatus < 200 || tunnelStatus > 299)) {
            request.status = tunnelStatus;
            request.reply.clear();
            request.sent = true;
            return true;
        }
        return Fail(stallWatch.stalled ? WinInet::ErrorTimeout : WinInetErrorFromCurl(result));
    }
    request.status = status;
    request.sent = true;
    return true;
}

std::uint32_t CurlHttpClient::GetLastError() { return lastError_; }

bool CurlHttpClient::QueryInfo(HttpHandle handle, std::uint32_t infoLevel, std::uint32_t& value) {
    const Request* request = FindRequest(handle);
    if (request == nullptr) return Fail(WinInet::ErrorInvalidHandle);
    if (infoLevel != WinInet::QueryStatusCodeNumber || !request->sent) return Fail(WinInet::ErrorInvalidParameter);
    value = static_cast<std::uint32_t>(request->status);
    return true;
}

bool CurlHttpClient::ReadFile(HttpHandle handle, char* buffer, std::size_t size, std::size_t& bytesRead) {
    bytesRead = 0;
    Request* request = FindRequest(handle);
    if (request == nullptr) return Fail(WinInet::ErrorInvalidHandle);
    if (!request->sent) return Fail(WinInet::ErrorIncorrectHandleType);
    bytesRead = std::min(size, request->reply.size() - request->readOffset);
    std::copy_n(request->reply.data() + request->readOffset, bytesRead, buffer);
    request->readOffset += bytesRead;
    return true;
}

bool CurlHttpClient::CloseHandle(HttpHandle handle) {
    // Closing a handle closes what was opened from it, as WinINet does.
    if (requests_.erase(handle) != 0) return true;
    if (connections_.erase(handle) != 0) {
        for (auto it = requests_.begin(); it != requests_.end();) {
            it = it->second.connection == handle ? requests_.erase(it) : std::next(it);
        }
        return true;
    }
    if (sessions_.erase(handle) != 0) {
        std::vector<HttpHandle> children;
        for (const auto& [child, connection] : connections_) {
            if (connection.session == handle) children.push_back(child);
        }
        for (HttpHandle child : children) CloseHandle(child);
        return true;
    }
    return Fail(WinInet::ErrorInvalidHandle);
}

}  // namespace OrvaneLib
