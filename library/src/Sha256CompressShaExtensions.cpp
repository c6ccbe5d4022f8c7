#include "Sha256Implementations.h"

#include <cstdint>

// The SHA-256 compression on the x86 SHA extensions. Only the functions of
// this file are compiled for SHA and SSE4.1 (target attribute, not a
// file-wide flag), so nothing else in the program can pick up instructions
// that an older processor lacks; the caller checks the processor first.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#define ORVANE_SHA_TARGET __attribute__((target("sha,sse4.1")))
#define ORVANE_SHA_INLINE static inline __attribute__((always_inline, target("sha,sse4.1")))

namespace OrvaneLib {
namespace {

// Message words are big-endian; this swaps the bytes of each 32-bit lane.
ORVANE_SHA_INLINE __m128i LoadWords(const unsigned char* bytes) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)), byteSwap);
}

// Four rounds with message words W[t..t+3]. sha256rnds2 does two rounds on
// the state split as {A,B,E,F} and {C,D,G,H}, taking W+K from the low half
// of its third operand; each call leaves the new {A,B,E,F} in its result
// while the old one becomes the new {C,D,G,H}.
ORVANE_SHA_INLINE void FourRounds(__m128i& abef, __m128i& cdgh, __m128i words, std::size_t t) {
    const __m128i constants = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&Sha256RoundConstants[t]));
    const __m128i wk = _mm_add_epi32(words, constants);
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, wk);
    abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(wk, 0x0E));
}

// W[t..t+3] from the sixteen words before them, held as four groups of four,
// oldest first: W[t-16] + s0(W[t-15]) (msg1), + W[t-7] (the middle of the
// two newest groups), + s1(W[t-2]) (msg2).
ORVANE_SHA_INLINE __m128i NextWords(__m128i w16, __m128i w12, __m128i w8, __m128i w4) {
    const __m128i partial = _mm_add_epi32(_mm_sha256msg1_epu32(w16, w12), _mm_alignr_epi8(w4, w8, 4));
    return _mm_sha256msg2_epu32(partial, w4);
}

}  // namespace

ORVANE_SHA_TARGET
void Sha256CompressShaExtensions(std::uint32_t (&hash)[8], const unsigned char* blocks, std::size_t blockCount) {
    // H0..H7 = a..h into the {A,B,E,F} / {C,D,G,H} halves the instructions use
    // (highest lane first).
    const __m128i dcba = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&hash[0])), 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&hash[4])), 0x1B);
    __m128i abef = _mm_alignr_epi8(dcba, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, dcba, 0xF0);

    for (std::size_t block = 0; block < blockCount; ++block) {
        const unsigned char* bytes = blocks + block * Sha256BlockSize;
        const __m128i abefBefore = abef;
        const __m128i cdghBefore = cdgh;

        __m128i w0 = LoadWords(bytes);
        __m128i w1 = LoadWords(bytes + 16);
        __m128i w2 = LoadWords(bytes + 32);
        __m128i w3 = LoadWords(bytes + 48);
        FourRounds(abef, cdgh, w0, 0);
        FourRounds(abef, cdgh, w1, 4);
        FourRounds(abef, cdgh, w2, 8);
        FourRounds(abef, cdgh, w3, 12);
        for (std::size_t t = 16; t < 64; t += 16) {
            w0 = NextWords(w0, w1, w2, w3);
            FourRounds(abef, cdgh, w0, t);
            w1 = NextWords(w1, w2, w3, w0);
            FourRounds(abef, cdgh, w1, t + 4);
            w2 = NextWords(w2, w3, w0, w1);
            FourRounds(abef, cdgh, w2, t + 8);
            w3 = NextWords(w3, w0, w1, w2);
            FourRounds(abef, cdgh, w3, t + 12);
        }

        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    // Back from the two halves to a..h.
    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&hash[0]), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&hash[4]), _mm_alignr_epi8(dchg, feba, 8));
}

}  // namespace OrvaneLib

#else

namespace OrvaneLib {

// Not an x86 build: never chosen, since the processor check reports false.
void Sha256CompressShaExtensions(std::uint32_t (&hash)[8], const unsigned char* blocks, std::size_t blockCount) {
    Sha256CompressPortable(hash, blocks, blockCount);
}

}  // namespace OrvaneLib

#endif
