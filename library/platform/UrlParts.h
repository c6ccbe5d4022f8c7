#pragma once

#include "HttpClientLayer.h"

#include <optional>
#include <string>

namespace OrvaneLib {

// Splits "scheme://[user@]host[:port][/path][?query][#fragment]" into the
// host name and the URL path (path and query, without the fragment), both
// percent-decoded. Returns nothing when the text is not such a URL or its
// host is empty or holds characters no host name can hold, so that a bad
// address never reaches the network. Lengths are not limited.
std::optional<UrlComponents> SplitUrl(const std::string& url);

// True for a name SplitUrl accepts as a host: letters, digits, "-", ".",
// "_" and non-ASCII bytes, or an IPv6 address without its brackets.
bool IsValidHostName(const std::string& host);

// Percent-encodes every byte of a decoded path that may not stand in the
// path or query of a URL (spaces, controls, "%", "#", non-ASCII bytes, ...).
std::string EncodeUrlPath(const std::string& path);

}  // namespace OrvaneLib
