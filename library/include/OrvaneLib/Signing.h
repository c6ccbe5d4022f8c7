#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace OrvaneLib {

// The key shared with the service. Its bytes are the 32 ASCII characters as
// written; the text is not decoded from hexadecimal.
inline constexpr char SigningKey[] = "e3d09a51c4f8b27e6a1d5c903fb84e62";

inline constexpr std::size_t Sha256BlockSize = 64;
inline constexpr std::size_t Sha256DigestSize = 32;

// Running state of one SHA-256 computation.
struct Sha256Context {
    std::uint32_t totalLength;    // bytes already compressed, a multiple of 64
    std::uint32_t pendingLength;  // bytes waiting in blockBuffer, 0 to 63
    unsigned char blockBuffer[2 * Sha256BlockSize];  // finishing can need two blocks
    std::uint32_t hash[8];        // intermediate hash value H0..H7
};

// Running state of one HMAC-SHA-256 computation.
struct HmacSha256Context {
    Sha256Context inner;  // key block ^ 0x36, then the message
    Sha256Context outer;  // key block ^ 0x5C, later the inner digest
    unsigned char innerKeyBlock[Sha256BlockSize];
    unsigned char outerKeyBlock[Sha256BlockSize];
};

// Streaming SHA-256 (FIPS 180-4). The bit count in the final block is taken
// modulo 2^32, which is exact for messages shorter than 512 MiB.
void Sha256Init(Sha256Context& context);
void Sha256Update(Sha256Context& context, const unsigned char* bytes, std::size_t length);
// Writes the 32-byte digest.
void Sha256Final(Sha256Context& context, unsigned char* digest);
// Compresses `blockCount` whole 64-byte blocks into context.hash. Leaves the
// lengths alone; only Sha256Update and Sha256Final call it.
void Sha256Transform(Sha256Context& context, const unsigned char* blocks, std::size_t blockCount);

// Prepares both key blocks and feeds them to the inner and outer states
// (RFC 2104). Keys longer than 64 bytes are hashed first.
void HmacSha256Init(HmacSha256Context& context, const unsigned char* key, std::size_t keyLength);

// Standard Base64 (RFC 4648) with "=" padding and no line breaks.
std::string Base64Encode(const unsigned char* bytes, std::size_t length);

// Base64 of HMAC-SHA-256(key, document): 44 characters, the last one "=".
std::string SignDocument(std::string document, std::string key);

}  // namespace OrvaneLib
