#include "RequestSignature.h"

#include "ConstantTimeEquals.h"

#include <OrvaneLib/Signing.h>

namespace OrvaneRefService {

namespace {

constexpr std::size_t kSignatureLength = 44;

}  // namespace

SignedBody SplitSignedBody(std::string_view body) {
    const auto lineFeed = body.rfind('\n');
    if (lineFeed == std::string_view::npos) {
        return {body, {}};
    }
    return {body.substr(0, lineFeed), body.substr(lineFeed + 1)};
}

SignatureCheck CheckSignature(std::string_view body) {
    const SignedBody parts = SplitSignedBody(body);
    if (parts.signature.empty()) {
        return SignatureCheck::Missing;
    }
    if (parts.signature.size() != kSignatureLength) {
        return SignatureCheck::Wrong;
    }
    const std::string expected = OrvaneLib::SignDocument(std::string(parts.document), OrvaneLib::SigningKey);
    return ConstantTimeEquals(expected, parts.signature) ? SignatureCheck::Valid : SignatureCheck::Wrong;
}

}  // namespace OrvaneRefService
