#pragma once

#include <OrvaneLib/Signing.h>

#include <cstddef>
#include <cstdint>

// The two SHA-256 block compressions behind Sha256Transform, and the choice
// between them. The choice is made once from what the processor offers;
// tests and benchmarks may force either one.
namespace OrvaneLib {

enum class Sha256Implementation {
    Portable,       // plain C++, runs everywhere
    ShaExtensions,  // x86 SHA instructions (sha256rnds2, sha256msg1/2) with SSE4.1
};

// The sixty-four round constants K of FIPS 180-4, section 4.2.2.
inline constexpr std::uint32_t Sha256RoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

// Compress `blockCount` whole 64-byte blocks into the hash words H0..H7.
void Sha256CompressPortable(std::uint32_t (&hash)[8], const unsigned char* blocks, std::size_t blockCount);
// Only to be called when IsSha256ImplementationAvailable(ShaExtensions).
void Sha256CompressShaExtensions(std::uint32_t (&hash)[8], const unsigned char* blocks, std::size_t blockCount);

// Whether this processor (and this build) can run the implementation.
bool IsSha256ImplementationAvailable(Sha256Implementation implementation);

// The implementation Sha256Transform uses now: by default the SHA
// instructions when available, else the portable code.
Sha256Implementation CurrentSha256Implementation();

// Makes Sha256Transform use `implementation` from now on, in every thread.
// Returns false and changes nothing when it is not available here. Meant for
// tests and benchmarks; switch only while no hash is being computed.
bool UseSha256Implementation(Sha256Implementation implementation);

}  // namespace OrvaneLib
