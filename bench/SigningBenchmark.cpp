// SignDocument and our SHA-256 against OpenSSL's HMAC-SHA-256 + Base64 and
// SHA-256, on a 300-byte document (a typical request) and 16 KiB.
#include "BenchmarkSummary.h"

#include <OrvaneLib/Signing.h>

#include "Sha256Implementations.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/sha.h>

#include <cstddef>
#include <string>

namespace {

using OrvaneLib::Sha256Implementation;

// A request-like text of exactly `size` bytes.
std::string Document(std::size_t size) {
    static const std::string piece =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><activities><activity><source>QRM</source>"
        "<id_code>DEMO1001</id_code><activity_text>Opened the account page</activity_text>"
        "<ip_address>192.168.10.23</ip_address><user_agent>OrvaneLibTest/1.0</user_agent>"
        "<mac_address>00-1A-2B-3C-4D-5E</mac_address></activity></activities>";
    std::string text;
    while (text.size() < size) text += piece;
    text.resize(size);
    return text;
}

const char* NameOf(Sha256Implementation implementation) {
    return implementation == Sha256Implementation::ShaExtensions ? "SHA instructions" : "portable";
}

// Runs the benchmark with `implementation`, or with the processor's own
// choice when it is empty; skips it when the processor cannot.
bool Choose(benchmark::State& state, const Sha256Implementation* implementation) {
    static const Sha256Implementation processorChoice = OrvaneLib::CurrentSha256Implementation();
    const Sha256Implementation chosen = implementation ? *implementation : processorChoice;
    if (!OrvaneLib::UseSha256Implementation(chosen)) {
        state.SkipWithError("this processor has no SHA instructions");
        return false;
    }
    state.SetLabel(NameOf(chosen));
    return true;
}

const Sha256Implementation kPortable = Sha256Implementation::Portable;
const Sha256Implementation kShaExtensions = Sha256Implementation::ShaExtensions;
const Sha256Implementation* const kProcessorChoice = nullptr;

void OrvaneSignDocument(benchmark::State& state, const Sha256Implementation* implementation) {
    if (!Choose(state, implementation)) return;
    const std::string document = Document(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::string signature = OrvaneLib::SignDocument(document, OrvaneLib::SigningKey);
        benchmark::DoNotOptimize(signature);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK_CAPTURE(OrvaneSignDocument, Auto, kProcessorChoice)->Arg(300)->Arg(16384);
BENCHMARK_CAPTURE(OrvaneSignDocument, Portable, &kPortable)->Arg(300)->Arg(16384);

// The same result from OpenSSL: one-shot HMAC(), then Base64 into a string.
void OpenSslHmacBase64(benchmark::State& state) {
    const std::string document = Document(static_cast<std::size_t>(state.range(0)));
    const std::string key = OrvaneLib::SigningKey;
    for (auto _ : state) {
        unsigned char mac[EVP_MAX_MD_SIZE];
        unsigned int macLength = 0;
        HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
             reinterpret_cast<const unsigned char*>(document.data()), document.size(), mac, &macLength);
        unsigned char text[64];
        const int textLength = EVP_EncodeBlock(text, mac, static_cast<int>(macLength));
        std::string signature(reinterpret_cast<const char*>(text), static_cast<std::size_t>(textLength));
        benchmark::DoNotOptimize(signature);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(OpenSslHmacBase64)->Arg(300)->Arg(16384);

void OrvaneSha256(benchmark::State& state, const Sha256Implementation* implementation) {
    if (!Choose(state, implementation)) return;
    const std::string data = Document(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        OrvaneLib::Sha256Context context;
        OrvaneLib::Sha256Init(context);
        OrvaneLib::Sha256Update(context, reinterpret_cast<const unsigned char*>(data.data()), data.size());
        unsigned char digest[OrvaneLib::Sha256DigestSize];
        OrvaneLib::Sha256Final(context, digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK_CAPTURE(OrvaneSha256, ShaExtensions, &kShaExtensions)->Arg(16384);
BENCHMARK_CAPTURE(OrvaneSha256, Portable, &kPortable)->Arg(16384);

void OpenSslSha256(benchmark::State& state) {
    const std::string data = Document(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        unsigned char digest[SHA256_DIGEST_LENGTH];
        unsigned int length = 0;
        EVP_Digest(data.data(), data.size(), digest, &length, EVP_sha256(), nullptr);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(OpenSslSha256)->Arg(16384);

}  // namespace

int main(int argc, char** argv) {
    OrvaneBench::Summary summary;
    summary.ratios = {
        {"SignDocument vs OpenSSL HMAC+Base64, 300 B", "OrvaneSignDocument/Auto/300", "OpenSslHmacBase64/300", 1.0},
        {"SignDocument vs OpenSSL HMAC+Base64, 16 KiB", "OrvaneSignDocument/Auto/16384", "OpenSslHmacBase64/16384",
         1.0},
        {"SignDocument, portable SHA-256, vs OpenSSL, 300 B", "OrvaneSignDocument/Portable/300",
         "OpenSslHmacBase64/300", 0.0},
        {"SHA-256 on SHA instructions vs OpenSSL SHA-256, 16 KiB", "OrvaneSha256/ShaExtensions/16384",
         "OpenSslSha256/16384", 0.0},
        {"SHA-256 portable vs OpenSSL SHA-256, 16 KiB", "OrvaneSha256/Portable/16384", "OpenSslSha256/16384", 0.0},
    };
    return OrvaneBench::RunBenchmarks(argc, argv, summary);
}
