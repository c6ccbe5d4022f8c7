#include "Sha256Implementations.h"

#include <cstdint>

// The SHA-256 compression function of FIPS 180-4, section 6.2.2, portable C++.
namespace OrvaneLib {
namespace {

constexpr std::uint32_t RotateRight(std::uint32_t x, unsigned n) { return (x >> n) | (x << (32 - n)); }

constexpr std::uint32_t Ch(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return (x & y) ^ (~x & z); }
constexpr std::uint32_t Maj(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return (x & y) ^ (x & z) ^ (y & z);
}
constexpr std::uint32_t BigSigma0(std::uint32_t x) { return RotateRight(x, 2) ^ RotateRight(x, 13) ^ RotateRight(x, 22); }
constexpr std::uint32_t BigSigma1(std::uint32_t x) { return RotateRight(x, 6) ^ RotateRight(x, 11) ^ RotateRight(x, 25); }
constexpr std::uint32_t SmallSigma0(std::uint32_t x) { return RotateRight(x, 7) ^ RotateRight(x, 18) ^ (x >> 3); }
constexpr std::uint32_t SmallSigma1(std::uint32_t x) { return RotateRight(x, 17) ^ RotateRight(x, 19) ^ (x >> 10); }

std::uint32_t LoadBigEndian(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

void CompressBlock(std::uint32_t (&hash)[8], const unsigned char* block) {
    std::uint32_t w[64];
    for (int t = 0; t < 16; ++t) {
        w[t] = LoadBigEndian(block + 4 * t);
    }
    for (int t = 16; t < 64; ++t) {
        w[t] = SmallSigma1(w[t - 2]) + w[t - 7] + SmallSigma0(w[t - 15]) + w[t - 16];
    }

    std::uint32_t a = hash[0], b = hash[1], c = hash[2], d = hash[3];
    std::uint32_t e = hash[4], f = hash[5], g = hash[6], h = hash[7];
    for (int t = 0; t < 64; ++t) {
        const std::uint32_t t1 = h + BigSigma1(e) + Ch(e, f, g) + Sha256RoundConstants[t] + w[t];
        const std::uint32_t t2 = BigSigma0(a) + Maj(a, b, c);
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    hash[0] += a;
    hash[1] += b;
    hash[2] += c;
    hash[3] += d;
    hash[4] += e;
    hash[5] += f;
    hash[6] += g;
    hash[7] += h;
}

}  // namespace

void Sha256CompressPortable(std::uint32_t (&hash)[8], const unsigned char* blocks, std::size_t blockCount) {
    for (std::size_t i = 0; i < blockCount; ++i) {
        CompressBlock(hash, blocks + i * Sha256BlockSize);
    }
}

}  // namespace OrvaneLib
