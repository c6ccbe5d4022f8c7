#include <OrvaneLib/HttpTransport.h>

#include <OrvaneLib/OrvaneException.h>

#include "CurlHttpClient.h"
#include "HttpClientLayer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <utility>

namespace OrvaneLib {
namespace {

constexpr char kNoNetwork[] =
    "Unable to locate an internet connection. Please connect to your ISP manually and try again.";
constexpr char kNoSession[] =
    "Unable to open an internet connection. Please connect to your ISP manually and try again.";
constexpr char kCannotConnect[] = "Failed to connect to web server. Try again later.";
constexpr char kNoRequest[] = "Failed to generate an http request. Please call technical support.";
constexpr char kRejected[] =
    "The web server failed to accept your request or your proxy settings are incorrect. Update your "
    "settings and try again later.";
constexpr char kProxyCredentials[] =
    "Your web proxy server is not accepting the user name and or password you provided. Please check "
    "these settings and try again.";
constexpr char kServerUnreachable[] = "Could not reach server.";

constexpr std::int32_t kTransportFailure = 503;
constexpr std::uint32_t kRequestFlags =
    WinInet::FlagReload | WinInet::FlagKeepConnection | WinInet::FlagPragmaNoCache;
constexpr std::size_t kReadChunkSize = 260;

// The three handles of one call, closed request first, then connection,
// then session, on every way out.
class OpenHandles {
public:
    explicit OpenHandles(HttpClientLayer& layer) : layer_(layer) {}
    ~OpenHandles() {
        Close(request);
        Close(connection);
        Close(session);
    }
    OpenHandles(const OpenHandles&) = delete;
    OpenHandles& operator=(const OpenHandles&) = delete;

    HttpHandle session = HttpHandle::None;
    HttpHandle connection = HttpHandle::None;
    HttpHandle request = HttpHandle::None;

private:
    void Close(HttpHandle handle) {
        if (handle != HttpHandle::None) layer_.CloseHandle(handle);
    }
    HttpClientLayer& layer_;
};

HttpHandle OpenSession(HttpClientLayer& layer, const ConnectionSettings& settings) {
    if (!settings.proxyServer.empty() && settings.proxyPort > 0) {
        const std::string proxy = settings.proxyServer + ":" + std::to_string(settings.proxyPort);
        return layer.Open(settings.userAgent, WinInet::OpenTypeProxy, proxy, "", 0);
    }
    return layer.Open(settings.userAgent, WinInet::OpenTypeDirect, "", "", 0);
}

// Secure when the lower-cased address contains "https" anywhere.
bool IsSecure(const std::string& serviceUrl) {
    std::string lowered = serviceUrl;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return lowered.find("https") != std::string::npos;
}

void ApplyProxyCredentials(HttpClientLayer& layer, HttpHandle connection, const ConnectionSettings& settings) {
    if (settings.proxyUser.empty()) return;
    layer.SetOption(connection, WinInet::OptionProxyUsername, settings.proxyUser);
    if (!settings.proxyPassword.empty()) {
        layer.SetOption(connection, WinInet::OptionProxyPassword, settings.proxyPassword);
    }
}

void CheckHttpStatus(HttpClientLayer& layer, HttpHandle request) {
    std::uint32_t status = 0;
    if (!layer.QueryInfo(request, WinInet::QueryStatusCodeNumber, status)) {
        // Without a status nothing says the service took the request.
        throw OrvaneException(kRejected, kTransportFailure);
    }
    if (status == 407) throw OrvaneException(kProxyCredentials, 407);
    if (status == 500 || status == 503) throw OrvaneException(kServerUnreachable, static_cast<std::int32_t>(status));
    if (status >= 400 && status <= 499) throw OrvaneException(kRejected, kTransportFailure);
}

std::string ReadReply(HttpClientLayer& layer, HttpHandle request) {
    std::string reply;
    std::array<char, kReadChunkSize> chunk{};
    for (;;) {
        std::size_t bytesRead = 0;
        layer.ReadFile(request, chunk.data(), chunk.size(), bytesRead);
        if (bytesRead == 0) break;
        reply.append(chunk.data(), std::min(bytesRead, chunk.size()));
    }
    return reply;
}

}  // namespace

void SendHttpRequest(ResponseBase& response, const ConnectionSettings& settings, RequestParameters& parameters) {
    CurlHttpClient layer;
    SendHttpRequest(response, settings, parameters, layer);
}

void SendHttpRequest(ResponseBase& response, const ConnectionSettings& settings, RequestParameters& parameters,
                     HttpClientLayer& layer) {
    if (layer.AttemptConnect(0) != WinInet::ErrorSuccess) throw OrvaneException(kNoNetwork, kTransportFailure);

    OpenHandles handles(layer);
    handles.session = OpenSession(layer, settings);
    if (handles.session == HttpHandle::None) throw OrvaneException(kNoSession, kTransportFailure);

    // The address is a NUL-terminated text to the platform; so it is here.
    const std::string serviceUrl = settings.serviceUrl.c_str();
    UrlComponents url;
    if (!layer.CrackUrl(serviceUrl, WinInet::CrackUrlDecode, url)) {
        // An address without a host never reaches the network.
        throw OrvaneException(kCannotConnect, kTransportFailure);
    }

    const bool secure = IsSecure(serviceUrl);
    const std::uint16_t port = secure ? WinInet::DefaultHttpsPort : WinInet::DefaultHttpPort;
    handles.connection = layer.Connect(handles.session, url.hostName, port, "", "", WinInet::ServiceHttp, 0, 0);
    if (handles.connection == HttpHandle::None) throw OrvaneException(kCannotConnect, kTransportFailure);

    const std::string objectName = url.urlPath + "/" + parameters["Action"];
    const std::uint32_t flags = secure ? (kRequestFlags | WinInet::FlagSecure) : kRequestFlags;
    handles.request =
        layer.OpenRequest(handles.connection, "POST", objectName, "HTTP/1.0", "", {"*/*"}, flags, 0);
    if (handles.request == HttpHandle::None) throw OrvaneException(kNoRequest, kTransportFailure);

    layer.AddRequestHeaders(handles.request, "Content-type: application/xml\r\n", WinInet::AddRequestFlagAdd);
    ApplyProxyCredentials(layer, handles.connection, settings);

    if (!layer.SendRequest(handles.request, "", parameters["HttpRequestString"])) {
        const std::uint32_t error = layer.GetLastError();  // before any handle is closed
        throw OrvaneException(error == WinInet::ErrorCannotConnect ? kCannotConnect : kRejected, kTransportFailure);
    }

    CheckHttpStatus(layer, handles.request);
    std::string reply = ReadReply(layer, handles.request);
    response.responseXml = reply.c_str();  // up to the first NUL byte
    // Parse gets every byte of the reply, by value; nothing reads the reply
    // afterwards, so it is moved rather than copied (replies can be large).
    response.Parse(std::move(reply));
    if (response.statusCode != 1) throw OrvaneException(kRejected, kTransportFailure);
}

}  // namespace OrvaneLib
