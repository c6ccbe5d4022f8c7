#include <OrvaneLib/Signing.h>

#include <cstring>

// Streaming SHA-256 (FIPS 180-4): buffering, padding and the digest. The block
// compression itself is Sha256Transform.
namespace OrvaneLib {

void Sha256Init(Sha256Context& context) {
    static constexpr std::uint32_t initialHash[8] = {
        0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
    };
    context.totalLength = 0;
    context.pendingLength = 0;
    std::memset(context.blockBuffer, 0, sizeof context.blockBuffer);
    std::memcpy(context.hash, initialHash, sizeof context.hash);
}

void Sha256Update(Sha256Context& context, const unsigned char* bytes, std::size_t length) {
    if (length == 0) {
        return;
    }
    const std::size_t pending = context.pendingLength;
    const std::size_t room = Sha256BlockSize - pending;
    const std::size_t copied = length < room ? length : room;
    std::memcpy(context.blockBuffer + pending, bytes, copied);
    if (pending + length < Sha256BlockSize) {
        context.pendingLength = static_cast<std::uint32_t>(pending + length);
        return;
    }

    Sha256Transform(context, context.blockBuffer, 1);
    const unsigned char* rest = bytes + copied;
    const std::size_t restLength = length - copied;
    const std::size_t wholeBlocks = restLength / Sha256BlockSize;
    Sha256Transform(context, rest, wholeBlocks);

    const std::size_t tail = restLength % Sha256BlockSize;
    std::memcpy(context.blockBuffer, rest + wholeBlocks * Sha256BlockSize, tail);
    context.pendingLength = static_cast<std::uint32_t>(tail);
    // The running length is kept modulo 2^32, as the context's field is 32 bits.
    context.totalLength += static_cast<std::uint32_t>((wholeBlocks + 1) * Sha256BlockSize);
}

void Sha256Final(Sha256Context& context, unsigned char* digest) {
    const std::size_t pending = context.pendingLength;
    // 0x80 and the 8-byte length need 9 bytes after the message.
    const std::size_t blocks = pending > Sha256BlockSize - 9 ? 2 : 1;
    const std::size_t end = blocks * Sha256BlockSize;

    std::memset(context.blockBuffer + pending, 0, end - pending);
    context.blockBuffer[pending] = 0x80;
    const std::uint32_t bitLength = (context.totalLength + context.pendingLength) * 8u;
    context.blockBuffer[end - 4] = static_cast<unsigned char>(bitLength >> 24);
    context.blockBuffer[end - 3] = static_cast<unsigned char>(bitLength >> 16);
    context.blockBuffer[end - 2] = static_cast<unsigned char>(bitLength >> 8);
    context.blockBuffer[end - 1] = static_cast<unsigned char>(bitLength);
    Sha256Transform(context, context.blockBuffer, blocks);

    for (std::size_t i = 0; i < 8; ++i) {
        const std::uint32_t word = context.hash[i];
        digest[4 * i + 0] = static_cast<unsigned char>(word >> 24);
        digest[4 * i + 1] = static_cast<unsigned char>(word >> 16);
        digest[4 * i + 2] = static_cast<unsigned char>(word >> 8);
        digest[4 * i + 3] = static_cast<unsigned char>(word);
    }
}

}  // namespace OrvaneLib
