#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace OrvaneLib {

// The HTTP client operations the transport needs, shaped after the WinINet
// calls they stand in for: the same arguments, the same results. The
// transport is written once against this interface; CurlHttpClient is the
// real implementation and the tests use a scripted fake.

// An opaque handle to a session, a connection or a request; None is the
// "no handle" result of a failed open.
enum class HttpHandle : std::uint32_t { None = 0 };

// Numbers with the meanings and values WinINet gives them.
namespace WinInet {
constexpr std::uint32_t ErrorSuccess = 0;
constexpr std::uint32_t OpenTypeDirect = 1;  // INTERNET_OPEN_TYPE_DIRECT
constexpr std::uint32_t OpenTypeProxy = 3;   // INTERNET_OPEN_TYPE_PROXY
constexpr std::uint32_t CrackUrlDecode = 0x10000000;  // ICU_DECODE
constexpr std::uint16_t DefaultHttpPort = 80;
constexpr std::uint16_t DefaultHttpsPort = 443;
constexpr std::uint32_t ServiceHttp = 3;  // INTERNET_SERVICE_HTTP
constexpr std::uint32_t FlagReload = 0x80000000;
constexpr std::uint32_t FlagSecure = 0x00800000;
constexpr std::uint32_t FlagKeepConnection = 0x00400000;
constexpr std::uint32_t FlagPragmaNoCache = 0x00000100;
constexpr std::uint32_t AddRequestFlagAdd = 0x20000000;  // HTTP_ADDREQ_FLAG_ADD
constexpr std::uint32_t OptionProxyUsername = 43;
constexpr std::uint32_t OptionProxyPassword = 44;
constexpr std::uint32_t QueryStatusCodeNumber = 0x20000013;  // STATUS_CODE | FLAG_NUMBER

// Error codes reported by GetLastError.
constexpr std::uint32_t ErrorInvalidHandle = 6;
constexpr std::uint32_t ErrorInvalidParameter = 87;
constexpr std::uint32_t ErrorNotConnected = 2250;
constexpr std::uint32_t ErrorInternalError = 12004;
constexpr std::uint32_t ErrorTimeout = 12002;
constexpr std::uint32_t ErrorInvalidOption = 12009;
constexpr std::uint32_t ErrorInvalidUrl = 12005;
constexpr std::uint32_t ErrorNameNotResolved = 12007;
constexpr std::uint32_t ErrorIncorrectHandleType = 12018;
constexpr std::uint32_t ErrorCannotConnect = 12029;
constexpr std::uint32_t ErrorConnectionAborted = 12030;
constexpr std::uint32_t ErrorConnectionReset = 12031;
constexpr std::uint32_t ErrorInvalidCa = 12045;
constexpr std::uint32_t ErrorRedirectFailed = 12156;
constexpr std::uint32_t ErrorSecurityChannel = 12157;
}  // namespace WinInet

// The two parts of a URL the transport asks for.
struct UrlComponents {
    std::string hostName;
    std::string urlPath;  // from the first "/" after the host, query included
};

class HttpClientLayer {
public:
    virtual ~HttpClientLayer() = default;

    // InternetAttemptConnect: ErrorSuccess when the machine can reach a network.
    virtual std::uint32_t AttemptConnect(std::uint32_t reserved) = 0;

    // InternetOpenA. An empty proxy or bypass text stands for "none".
    virtual HttpHandle Open(const std::string& agent, std::uint32_t accessType,
                            const std::string& proxy, const std::string& proxyBypass,
                            std::uint32_t flags) = 0;

    // InternetCrackUrlA, asked for the host name and the URL path only.
    virtual bool CrackUrl(const std::string& url, std::uint32_t flags, UrlComponents& components) = 0;

    // InternetConnectA. Empty user name and password stand for "none".
    virtual HttpHandle Connect(HttpHandle session, const std::string& serverName, std::uint16_t port,
                               const std::string& userName, const std::string& password,
                               std::uint32_t service, std::uint32_t flags, std::uintptr_t context) = 0;

    // HttpOpenRequestA. An empty referrer stands for "none".
    virtual HttpHandle OpenRequest(HttpHandle connection, const std::string& verb,
                                   const std::string& objectName, const std::string& version,
                                   const std::string& referrer,
                                   const std::vector<std::string>& acceptTypes, std::uint32_t flags,
                                   std::uintptr_t context) = 0;

    // HttpAddRequestHeadersA: one or more "Name: value\r\n" lines.
    virtual bool AddRequestHeaders(HttpHandle request, const std::string& headers,
                                   std::uint32_t modifiers) = 0;

    // InternetSetOptionA with a text value (the proxy user name or password).
    virtual bool SetOption(HttpHandle handle, std::uint32_t option, const std::string& value) = 0;

    // HttpSendRequestA: false on failure, with the reason in GetLastError.
    virtual bool SendRequest(HttpHandle request, const std::string& headers,
                             const std::string& optional) = 0;

    // GetLastError: the reason for the last failed call.
    virtual std::uint32_t GetLastError() = 0;

    // HttpQueryInfoA with a numeric result.
    virtual bool QueryInfo(HttpHandle request, std::uint32_t infoLevel, std::uint32_t& value) = 0;

    // InternetReadFile: bytesRead is 0 at the end of the body and after a failure.
    virtual bool ReadFile(HttpHandle request, char* buffer, std::size_t size,
                          std::size_t& bytesRead) = 0;

    // InternetCloseHandle.
    virtual bool CloseHandle(HttpHandle handle) = 0;
};

}  // namespace OrvaneLib
