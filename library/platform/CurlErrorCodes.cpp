#include "CurlErrorCodes.h"

#include "HttpClientLayer.h"

namespace OrvaneLib {

std::uint32_t WinInetErrorFromCurl(CURLcode result) {
    switch (result) {
        case CURLE_OK:
            return WinInet::ErrorSuccess;
        case CURLE_COULDNT_CONNECT:
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return WinInet::ErrorCannotConnect;
        case CURLE_OPERATION_TIMEDOUT:
            return WinInet::ErrorTimeout;
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_ISSUER_ERROR:
            return WinInet::ErrorInvalidCa;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_CRL_BADFILE:
        case CURLE_SSL_SHUTDOWN_FAILED:
        case CURLE_SSL_ENGINE_NOTFOUND:
        case CURLE_SSL_ENGINE_SETFAILED:
        case CURLE_SSL_ENGINE_INITFAILED:
        case CURLE_USE_SSL_FAILED:
            return WinInet::ErrorSecurityChannel;
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
            return WinInet::ErrorConnectionReset;
        case CURLE_PARTIAL_FILE:
        case CURLE_GOT_NOTHING:
            return WinInet::ErrorConnectionAborted;
        case CURLE_TOO_MANY_REDIRECTS:
        case CURLE_UNSUPPORTED_PROTOCOL:  // a redirect to a scheme we do not follow
            return WinInet::ErrorRedirectFailed;
        case CURLE_URL_MALFORMAT:
            return WinInet::ErrorInvalidUrl;
        default:
            return WinInet::ErrorInternalError;
    }
}

}  // namespace OrvaneLib
