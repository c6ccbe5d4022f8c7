#pragma once

#include <curl/curl.h>

#include <cstdint>

namespace OrvaneLib {

// The WinINet error code that stands for a failed libcurl transfer. A
// refused or unreachable connection and a failed name lookup become
// ErrorCannotConnect; time-outs, TLS failures, resets and the rest get
// codes of their own, so the transport can tell the two kinds apart.
std::uint32_t WinInetErrorFromCurl(CURLcode result);

}  // namespace OrvaneLib
