// XmlEscape and XmlUnescape on 256 KiB made only of what they replace: the
// inputs on which a replace-per-occurrence version turns quadratic.
#include "BenchmarkSummary.h"

#include <OrvaneLib/RequestDocuments.h>
#include <OrvaneLib/ResponseHandlers.h>

#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>

namespace {

constexpr std::size_t kInputSize = 256 * 1024;

std::string Repeat(const std::string& piece) {
    std::string text;
    while (text.size() < kInputSize) text += piece;
    text.resize(kInputSize);
    return text;
}

// Each iteration works on a fresh copy of the input (its cost, a 256 KiB
// copy, is included: the functions change the text in place). One untimed
// call first: the very first result (2.5 MB for the quotes) lands on fresh
// pages, whose page faults would otherwise swamp a short run.
template <void (*Function)(std::string&)>
void Run(benchmark::State& state, const std::string& input) {
    {
        std::string warmUp = input;
        Function(warmUp);
    }
    for (auto _ : state) {
        std::string text = input;
        Function(text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
}

void XmlEscape(benchmark::State& state, const std::string& input) { Run<OrvaneLib::XmlEscape>(state, input); }
void XmlUnescape(benchmark::State& state, const std::string& input) { Run<OrvaneLib::XmlUnescape>(state, input); }

BENCHMARK_CAPTURE(XmlEscape, DoubleQuotes, Repeat("\""))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(XmlEscape, AllFive, Repeat("\"&'<>"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(XmlUnescape, Ampersands, Repeat("&"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(XmlUnescape, EntityTexts, Repeat("&amp;quot;&amp;&apos;&lt;&gt;&quot;&amp;amp;&amp;lt;"))
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    OrvaneBench::Summary summary;
    summary.limits = {
        {"XmlEscape, 256 KiB of double quotes", "XmlEscape/DoubleQuotes", 2.0},
        {"XmlEscape, 256 KiB of the five special characters", "XmlEscape/AllFive", 2.0},
        {"XmlUnescape, 256 KiB of ampersands", "XmlUnescape/Ampersands", 2.0},
        {"XmlUnescape, 256 KiB of entity texts", "XmlUnescape/EntityTexts", 2.0},
    };
    return OrvaneBench::RunBenchmarks(argc, argv, summary);
}
