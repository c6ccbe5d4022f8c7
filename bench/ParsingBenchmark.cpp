// GetActivitiesResponse::Parse of a 100,000-record reply against raw Expat
// with empty callbacks on the same bytes (both hand Expat the whole reply in
// one final parse), and the memory the parse adds.
#include "BenchmarkSummary.h"

#include <OrvaneLib/Responses.h>

#include <benchmark/benchmark.h>
#include <expat.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int kRecords = 100000;

// A qrmGetActivities reply as the reference service writes it.
const std::string& Reply() {
    static const std::string reply = [] {
        std::string text =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><qrmGetActivitiesResponse><statuscode>1</statuscode>"
            "<message>100000 activities found.</message><activities>";
        for (int i = 0; i < kRecords; ++i) {
            const std::string n = std::to_string(i);
            text += "<activity><activity_text>Viewed account page " + n + "</activity_text><ip_address>10.1." +
                    std::to_string(i % 250) + "." + std::to_string(i % 199) +
                    "</ip_address><user_agent>OrvaneLibTest/1.0</user_agent><mac_address>00-1A-2B-3C-4D-5E"
                    "</mac_address><workstation_name>WS-" +
                    n + "</workstation_name><username>analyst</username><title_key>ORV-STANDARD</title_key>"
                    "<create_date>03-07-2013 14:22:05</create_date><upd_source>QRM</upd_source></activity>";
        }
        text += "</activities></qrmGetActivitiesResponse>";
        return text;
    }();
    return reply;
}

// ---- Memory ------------------------------------------------------------------

// A value of /proc/self/status, in bytes.
long long StatusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string name;
    long long kilobytes = 0;
    std::string unit;
    while (status >> name) {
        if (name == field + ":") {
            status >> kilobytes >> unit;
            return kilobytes * 1024;
        }
        std::getline(status, unit);
    }
    return -1;
}

// Starts a new peak: freed heap memory goes back to the system, and the
// kernel's high-water mark of resident memory is set to the current size.
bool ResetPeak() {
    malloc_trim(0);
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.close();
    return static_cast<bool>(clearRefs);
}

long long HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
}

// Runs `parse` once on a copy of the reply, handed over by move, and reports
// the most resident memory it added at any time (also relative to the
// reply's size) and the heap its result keeps.
template <typename Parse>
void MeasureMemory(benchmark::State& state, Parse parse) {
    for (auto _ : state) {
        state.PauseTiming();
        std::string reply = Reply();
        if (!ResetPeak()) {
            state.SkipWithError("cannot reset the resident-memory peak (/proc/self/clear_refs)");
            break;
        }
        const long long residentBefore = StatusBytes("VmRSS");
        const long long heapBefore = HeapInUse();
        state.ResumeTiming();
        auto result = parse(std::move(reply));
        state.PauseTiming();
        const double size = static_cast<double>(Reply().size());
        state.counters["reply_MB"] = size / 1e6;
        state.counters["peak_added_MB"] = static_cast<double>(StatusBytes("VmHWM") - residentBefore) / 1e6;
        state.counters["peak_added_x_reply"] = static_cast<double>(StatusBytes("VmHWM") - residentBefore) / size;
        // The parse releases the reply it was given; what it keeps is its result.
        state.counters["result_MB"] = (static_cast<double>(HeapInUse() - heapBefore) + size) / 1e6;
        result.reset();
        state.ResumeTiming();
    }
}

// ---- Parsers -------------------------------------------------------------------

void XMLCALL StartElement(void*, const XML_Char*, const XML_Char**) {}
void XMLCALL EndElement(void*, const XML_Char*) {}
void XMLCALL CharacterData(void*, const XML_Char*, int) {}

struct ParserFree {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

// Expat alone, fed the way the library feeds it: a buffer of the reply's
// size, the bytes copied in, one final parse.
std::unique_ptr<int> ParseWithRawExpat(const std::string& reply) {
    const std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreate(nullptr));
    XML_SetElementHandler(parser.get(), StartElement, EndElement);
    XML_SetCharacterDataHandler(parser.get(), CharacterData);
    const int length = static_cast<int>(reply.size());
    void* buffer = XML_GetBuffer(parser.get(), length + 1);
    std::memcpy(buffer, reply.data(), reply.size());
    if (XML_ParseBuffer(parser.get(), length, XML_TRUE) != XML_STATUS_OK) std::abort();
    return std::make_unique<int>(0);
}

std::unique_ptr<OrvaneLib::GetActivitiesResponse> ParseWithOrvane(std::string reply) {
    auto response = std::make_unique<OrvaneLib::GetActivitiesResponse>();
    response->Parse(std::move(reply));
    if (response->activities.size() != kRecords) std::abort();
    return response;
}

void RawExpat(benchmark::State& state) {
    const std::string& reply = Reply();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseWithRawExpat(reply));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(reply.size()));
}
BENCHMARK(RawExpat)->Unit(benchmark::kMillisecond)->UseRealTime();

// The reply is handed over by move, as the transport does; making the copy
// and destroying the response afterwards are not timed. The records need
// about 1.3 times the reply's size in small heap blocks: on fresh pages each
// first touch is a page fault, which costs far more on some virtual machines
// than the parse itself, so the records are timed on both kinds of page.
enum class RecordPages {
    Fresh,   // the heap is given back to the system before every parse
    Reused,  // the heap keeps the pages the previous response freed
};

void GetActivitiesParse(benchmark::State& state, RecordPages pages) {
    // The first parse leaves the pages the reused kind needs.
    if (pages == RecordPages::Reused) ParseWithOrvane(Reply()).reset();
    for (auto _ : state) {
        state.PauseTiming();
        if (pages == RecordPages::Fresh) malloc_trim(0);
        std::string reply = Reply();
        auto response = std::make_unique<OrvaneLib::GetActivitiesResponse>();
        state.ResumeTiming();
        response->Parse(std::move(reply));
        state.PauseTiming();
        if (response->activities.size() != kRecords) state.SkipWithError("wrong record count");
        response.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Reply().size()));
}
BENCHMARK_CAPTURE(GetActivitiesParse, FreshPages, RecordPages::Fresh)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(GetActivitiesParse, ReusedPages, RecordPages::Reused)->Unit(benchmark::kMillisecond)->UseRealTime();

void RawExpatMemory(benchmark::State& state) {
    MeasureMemory(state, [](std::string reply) { return ParseWithRawExpat(reply); });
}
BENCHMARK(RawExpatMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void GetActivitiesParseMemory(benchmark::State& state) {
    MeasureMemory(state, [](std::string reply) { return ParseWithOrvane(std::move(reply)); });
}
BENCHMARK(GetActivitiesParseMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    std::printf("Reply: %d activity records, %.1f MB\n", kRecords, static_cast<double>(Reply().size()) / 1e6);
    // Fresh memory costs a page fault per page touched, paid by both parsers
    // for Expat's buffer and by the library also for the records it builds.
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    const bool hugePages = tunables != nullptr && std::strstr(tunables, "glibc.malloc.hugetlb=1") != nullptr;
    std::printf("Memory: %s\n", hugePages ? "transparent huge pages (GLIBC_TUNABLES=glibc.malloc.hugetlb=1)"
                                            : "4 KiB pages (glibc defaults)");
    // Freed heap memory stays with the process unless a benchmark gives it
    // back (malloc_trim), so that the two kinds of record pages are chosen
    // here rather than by the allocator's own thresholds. Blocks as large as
    // the reply and Expat's buffer are mapped afresh every time either way.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);

    OrvaneBench::Summary summary;
    summary.ratios = {
        {"Parse vs raw Expat, records on fresh pages", "GetActivitiesParse/FreshPages/real_time", "RawExpat/real_time",
         0.7},
        {"Parse vs raw Expat, records on reused pages", "GetActivitiesParse/ReusedPages/real_time",
         "RawExpat/real_time", 0.7},
    };
    return OrvaneBench::RunBenchmarks(argc, argv, summary);
}
