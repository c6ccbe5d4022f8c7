// Known-answer tests of SHA-256, HMAC-SHA-256, Base64 and SignDocument. Every
// test that hashes runs once with each SHA-256 implementation; the one on the
// processor's SHA instructions is skipped where the processor lacks them.
#include <OrvaneLib/Signing.h>

#include "Sha256Implementations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace OrvaneLib;
using Bytes = std::vector<unsigned char>;

// Runs the test with the implementation of its parameter and restores the
// processor's default afterwards.
class WithSha256Implementation : public testing::TestWithParam<Sha256Implementation> {
protected:
    void SetUp() override {
        if (!UseSha256Implementation(GetParam())) GTEST_SKIP() << "this processor has no SHA instructions";
    }
    void TearDown() override { UseSha256Implementation(defaultImplementation_); }

private:
    Sha256Implementation defaultImplementation_ = CurrentSha256Implementation();
};

std::string ImplementationName(const testing::TestParamInfo<Sha256Implementation>& info) {
    return info.param == Sha256Implementation::Portable ? "Portable" : "ShaExtensions";
}

#define INSTANTIATE_FOR_EVERY_SHA256_IMPLEMENTATION(Suite)                                       \
    INSTANTIATE_TEST_SUITE_P(Sha256, Suite,                                                        \
                             testing::Values(Sha256Implementation::Portable,                       \
                                             Sha256Implementation::ShaExtensions),                 \
                             ImplementationName)

class Sha256Test : public WithSha256Implementation {};
class HmacSha256Test : public WithSha256Implementation {};
class SignDocumentTest : public WithSha256Implementation {};
INSTANTIATE_FOR_EVERY_SHA256_IMPLEMENTATION(Sha256Test);
INSTANTIATE_FOR_EVERY_SHA256_IMPLEMENTATION(HmacSha256Test);
INSTANTIATE_FOR_EVERY_SHA256_IMPLEMENTATION(SignDocumentTest);

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Repeated(unsigned char byte, std::size_t count) { return Bytes(count, byte); }

Bytes FromHex(const std::string& hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

std::string ToHex(const unsigned char* bytes, std::size_t length) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < length; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 0x0F];
    }
    return hex;
}

// Feeds the message in pieces of `pieceSize` bytes (the whole message at once
// when pieceSize is 0) and returns the digest in hex.
std::string Sha256Hex(const Bytes& message, std::size_t pieceSize = 0) {
    Sha256Context context;
    Sha256Init(context);
    if (pieceSize == 0) {
        Sha256Update(context, message.data(), message.size());
    } else {
        for (std::size_t offset = 0; offset < message.size(); offset += pieceSize) {
            const std::size_t length = std::min(pieceSize, message.size() - offset);
            Sha256Update(context, message.data() + offset, length);
        }
    }
    unsigned char digest[Sha256DigestSize];
    Sha256Final(context, digest);
    return ToHex(digest, sizeof digest);
}

// HMAC through the streaming interface: key blocks, inner, then outer.
Bytes HmacSha256(const Bytes& key, const Bytes& message) {
    HmacSha256Context context;
    HmacSha256Init(context, key.data(), key.size());
    unsigned char inner[Sha256DigestSize];
    Sha256Update(context.inner, message.data(), message.size());
    Sha256Final(context.inner, inner);
    Bytes mac(Sha256DigestSize);
    Sha256Update(context.outer, inner, sizeof inner);
    Sha256Final(context.outer, mac.data());
    return mac;
}

std::string AsText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

struct DigestCase {
    const char* name;
    Bytes message;
    const char* digest;
};

// Empty, "abc", the 56-byte message and one million "a": FIPS 180-4 / NIST
// SHA-256 examples. The 55-, 63- and 64-byte rows (letters "a") come from
//   perl -e "print 'a' x 55" | openssl dgst -sha256
// and pin the one-block / two-block choice of the final padding.
TEST_P(Sha256Test, KnownDigests) {
    const DigestCase cases[] = {
        {"empty", {}, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", FromText("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"55 bytes, one final block", Repeated('a', 55),
         "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {"56 bytes, two final blocks", FromText("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"56 letters a", Repeated('a', 56), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {"63 bytes", Repeated('a', 63), "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
        {"64 bytes, one whole block", Repeated('a', 64),
         "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {"one million a", Repeated('a', 1000000),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Sha256Hex(c.message), c.digest) << c.name;
    }
}

// 1000 bytes i % 251, so that no piece size lines up with the pattern.
// Expected: perl -e 'print chr($_ % 251) for 0..999' | openssl dgst -sha256
TEST_P(Sha256Test, SameDigestForEveryPieceSize) {
    Bytes message;
    for (int i = 0; i < 1000; ++i) {
        message.push_back(static_cast<unsigned char>(i % 251));
    }
    const std::string expected = "4e4c294b331f7a2099a379bec34b9f9fc03dc46ab465d998f4d683da53487e6d";
    ASSERT_EQ(Sha256Hex(message), expected);
    for (std::size_t pieceSize = 1; pieceSize <= 130; ++pieceSize) {
        EXPECT_EQ(Sha256Hex(message, pieceSize), expected) << "pieces of " << pieceSize;
    }
}

TEST_P(Sha256Test, EmptyUpdatesChangeNothing) {
    const Bytes message = FromText("abc");
    Sha256Context context;
    Sha256Init(context);
    Sha256Update(context, nullptr, 0);
    Sha256Update(context, message.data(), message.size());
    Sha256Update(context, nullptr, 0);
    unsigned char digest[Sha256DigestSize];
    Sha256Final(context, digest);
    EXPECT_EQ(ToHex(digest, sizeof digest), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

struct HmacCase {
    const char* name;
    Bytes key;
    Bytes data;
    const char* mac;  // hex; a shorter text is compared on the prefix
};

// RFC 4231, test cases 1 to 7. Case 5 specifies only the first 128 bits.
// The 64-byte key row (no hashing, no fill) comes from
//   perl -e 'print "m" x 10' | openssl dgst -sha256 -mac HMAC -macopt hexkey:$(printf '41%.0s' {1..64})
std::vector<HmacCase> HmacCases() {
    Bytes key4;
    for (unsigned char b = 0x01; b <= 0x19; ++b) {
        key4.push_back(b);
    }
    return {
        {"RFC4231_1", Repeated(0x0b, 20), FromText("Hi There"),
         "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7"},
        {"RFC4231_2", FromText("Jefe"), FromText("what do ya want for nothing?"),
         "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"},
        {"RFC4231_3", Repeated(0xaa, 20), Repeated(0xdd, 50),
         "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe"},
        {"RFC4231_4", key4, Repeated(0xcd, 50), "82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b"},
        {"RFC4231_5_truncated", Repeated(0x0c, 20), FromText("Test With Truncation"),
         "a3b6167473100ee06e0c796c2955552b"},
        {"RFC4231_6", Repeated(0xaa, 131), FromText("Test Using Larger Than Block-Size Key - Hash Key First"),
         "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54"},
        {"RFC4231_7", Repeated(0xaa, 131),
         FromText("This is a test using a larger than block-size key and a larger than block-size data. "
                  "The key needs to be hashed before being used by the HMAC algorithm."),
         "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2"},
        {"key of exactly 64 bytes", Repeated('A', 64), Repeated('m', 10),
         "a5451de8457c91cf8bf80fd6e0709783fce567b73f10c0a9f4cd93dfed0748c7"},
    };
}

TEST_P(HmacSha256Test, KnownMacs) {
    for (const auto& c : HmacCases()) {
        const Bytes mac = HmacSha256(c.key, c.data);
        const std::string expected = c.mac;
        EXPECT_EQ(ToHex(mac.data(), mac.size()).substr(0, expected.size()), expected) << c.name;
        // SignDocument computes the same MAC, Base64-encoded.
        EXPECT_EQ(SignDocument(AsText(c.data), AsText(c.key)), Base64Encode(mac.data(), mac.size())) << c.name;
    }
}

// RFC 4648, section 10, then the whole alphabet and bytes above 0x7F
// (echo ABC...+/ | base64 -d | xxd -i; printf '\377\376\375\000' | base64).
TEST(Base64Test, KnownEncodings) {
    const struct {
        Bytes bytes;
        const char* text;
    } cases[] = {
        {FromText(""), ""},
        {FromText("f"), "Zg=="},
        {FromText("fo"), "Zm8="},
        {FromText("foo"), "Zm9v"},
        {FromText("foob"), "Zm9vYg=="},
        {FromText("fooba"), "Zm9vYmE="},
        {FromText("foobar"), "Zm9vYmFy"},
        {FromHex("00108310518720928b30d38f41149351559761969b71d79f8218a39259a7a29aabb2dbafc31cb3d35db7e39ebbf3dfbf"),
         "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"},
        {Bytes{0xff, 0xfe, 0xfd, 0x00}, "//79AA=="},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Base64Encode(c.bytes.data(), c.bytes.size()), c.text) << c.text;
    }
}

// Expected values from
//   printf 'doc\000\200\377\000end' | openssl dgst -sha256 -hmac e3d09a51c4f8b27e6a1d5c903fb84e62 -binary | base64
// and the same with an empty printf.
TEST_P(SignDocumentTest, SignsEveryByteWithTheSigningKey) {
    const std::string binary("doc\0\x80\xff\0end", 10);
    EXPECT_EQ(SignDocument(binary, SigningKey), "vTENNSbtJiLIAMncF/Xd28ACK5CXdbYnBHUmNhPSBw8=");
    EXPECT_EQ(SignDocument("", SigningKey), "jgndoAWd4mPWQ1MpnIUbPJrEAvDHDnD4zEBlKhm+KAQ=");
    // A NUL byte is data, not the end of the document.
    EXPECT_NE(SignDocument(binary, SigningKey), SignDocument("doc", SigningKey));
}

TEST_P(SignDocumentTest, AlwaysFortyFourBase64Characters) {
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t length : {0u, 1u, 63u, 64u, 65u, 1000u}) {
        const std::string signature = SignDocument(std::string(length, '\xA5'), SigningKey);
        ASSERT_EQ(signature.size(), 44u) << length;
        EXPECT_EQ(signature.back(), '=') << length;
        EXPECT_EQ(signature.find_first_not_of(alphabet), 43u) << length;
    }
}

// ---- Choice of implementation -------------------------------------------------

std::string DigestWith(Sha256Implementation implementation, const Bytes& message) {
    EXPECT_TRUE(UseSha256Implementation(implementation));
    return Sha256Hex(message);
}

// Random messages of every length up to 17 blocks and a bit, each hashed in one
// update, so that both compressions see runs of many blocks as well as one.
TEST(Sha256ImplementationTest, BothImplementationsGiveTheSameDigests) {
    if (!IsSha256ImplementationAvailable(Sha256Implementation::ShaExtensions)) {
        GTEST_SKIP() << "this processor has no SHA instructions";
    }
    const Sha256Implementation before = CurrentSha256Implementation();
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::size_t length = 0; length <= 1100; length += 7) {
        Bytes message(length);
        for (auto& b : message) b = static_cast<unsigned char>(byte(random));
        EXPECT_EQ(DigestWith(Sha256Implementation::ShaExtensions, message),
                  DigestWith(Sha256Implementation::Portable, message))
            << length << " bytes";
    }
    UseSha256Implementation(before);
}

// The processor check agrees with the kernel's view of the same CPUID bits,
// and the SHA instructions are used by default where they exist.
TEST(Sha256ImplementationTest, UsesTheShaInstructionsWhereTheProcessorHasThem) {
#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
    std::FILE* cpuinfo = std::fopen("/proc/cpuinfo", "r");
    ASSERT_NE(cpuinfo, nullptr);
    std::string flags;
    char line[8192];
    while (flags.empty() && std::fgets(line, sizeof line, cpuinfo) != nullptr) {
        if (std::string(line).rfind("flags", 0) == 0) flags = std::string(line) + " ";
    }
    std::fclose(cpuinfo);
    ASSERT_FALSE(flags.empty());
    const bool kernelSaysSha = flags.find(" sha_ni ") != std::string::npos &&
                               flags.find(" sse4_1 ") != std::string::npos;
    EXPECT_EQ(IsSha256ImplementationAvailable(Sha256Implementation::ShaExtensions), kernelSaysSha);
#endif
    EXPECT_TRUE(IsSha256ImplementationAvailable(Sha256Implementation::Portable));
    const Sha256Implementation expected = IsSha256ImplementationAvailable(Sha256Implementation::ShaExtensions)
                                              ? Sha256Implementation::ShaExtensions
                                              : Sha256Implementation::Portable;
    EXPECT_EQ(CurrentSha256Implementation(), expected);
}

}  // namespace
