#include <OrvaneLib/Signing.h>

#include <cstring>

// The key half of HMAC (RFC 2104) with SHA-256: both padded key blocks are
// hashed up front, so the message can be streamed into the inner state.
namespace OrvaneLib {

void HmacSha256Init(HmacSha256Context& context, const unsigned char* key, std::size_t keyLength) {
    unsigned char hashedKey[Sha256DigestSize];
    if (keyLength > Sha256BlockSize) {
        Sha256Context keyHash;
        Sha256Init(keyHash);
        Sha256Update(keyHash, key, keyLength);
        Sha256Final(keyHash, hashedKey);
        key = hashedKey;
        keyLength = Sha256DigestSize;
    }

    std::memset(context.innerKeyBlock, 0x36, Sha256BlockSize);
    std::memset(context.outerKeyBlock, 0x5C, Sha256BlockSize);
    for (std::size_t i = 0; i < keyLength; ++i) {
        context.innerKeyBlock[i] = static_cast<unsigned char>(key[i] ^ 0x36);
        context.outerKeyBlock[i] = static_cast<unsigned char>(key[i] ^ 0x5C);
    }

    Sha256Init(context.inner);
    Sha256Update(context.inner, context.innerKeyBlock, Sha256BlockSize);
    Sha256Init(context.outer);
    Sha256Update(context.outer, context.outerKeyBlock, Sha256BlockSize);
}

}  // namespace OrvaneLib
