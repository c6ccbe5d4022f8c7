#pragma once

#include <string>
#include <string_view>

namespace OrvaneRefService {

// A request body split at its last line feed: the document before it and the
// signature after it.
struct SignedBody {
    std::string_view document;
    std::string_view signature;
};

enum class SignatureCheck { Valid, Missing, Wrong };

// The body is the document, one line feed and the 44-character Base64
// HMAC-SHA-256 of the document under the shared key.
SignedBody SplitSignedBody(std::string_view body);
SignatureCheck CheckSignature(std::string_view body);

}  // namespace OrvaneRefService
