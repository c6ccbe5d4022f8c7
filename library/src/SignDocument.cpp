#include <OrvaneLib/Signing.h>

namespace OrvaneLib {

std::string SignDocument(std::string document, std::string key) {
    HmacSha256Context context;
    HmacSha256Init(context, reinterpret_cast<const unsigned char*>(key.data()), key.size());

    unsigned char innerDigest[Sha256DigestSize];
    Sha256Update(context.inner, reinterpret_cast<const unsigned char*>(document.data()), document.size());
    Sha256Final(context.inner, innerDigest);

    unsigned char mac[Sha256DigestSize];
    Sha256Update(context.outer, innerDigest, sizeof innerDigest);
    Sha256Final(context.outer, mac);

    return Base64Encode(mac, sizeof mac);
}

}  // namespace OrvaneLib
