#include "BenchmarkSummary.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <map>

namespace OrvaneBench {
namespace {

// The console output as usual, and the seconds per iteration of every
// benchmark that ran (the mean when repeated).
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, so that logs stay plain text.
    RecordingReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
            Time& time = times_[run.benchmark_name()];
            time.seconds += run.real_accumulated_time / static_cast<double>(run.iterations);
            ++time.count;
        }
    }

    bool SecondsPerIteration(const std::string& name, double& seconds) const {
        const auto found = times_.find(name);
        if (found == times_.end()) return false;
        seconds = found->second.seconds / found->second.count;
        return true;
    }

private:
    struct Time {
        double seconds = 0;
        int count = 0;
    };
    std::map<std::string, Time> times_;
};

const char* Verdict(bool met) { return met ? "goal met" : "GOAL NOT MET"; }

}  // namespace

int RunBenchmarks(int argc, char** argv, const Summary& summary) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    bool header = false;
    const auto printHeader = [&header] {
        if (!header) std::printf("\nSummary (from this run):\n");
        header = true;
    };
    for (const SpeedRatio& ratio : summary.ratios) {
        double subject = 0;
        double yardstick = 0;
        if (!reporter.SecondsPerIteration(ratio.subject, subject) ||
            !reporter.SecondsPerIteration(ratio.yardstick, yardstick) || subject <= 0) {
            continue;
        }
        const double value = yardstick / subject;
        printHeader();
        if (ratio.goal > 0) {
            std::printf("  %-58s %7.2fx  (goal >= %.2fx: %s)\n", ratio.label.c_str(), value, ratio.goal,
                        Verdict(value >= ratio.goal));
        } else {
            std::printf("  %-58s %7.2fx  (for comparison)\n", ratio.label.c_str(), value);
        }
    }
    for (const TimeLimit& limit : summary.limits) {
        double seconds = 0;
        if (!reporter.SecondsPerIteration(limit.subject, seconds)) continue;
        const double milliseconds = seconds * 1000.0;
        printHeader();
        std::printf("  %-58s %7.3f ms (goal <= %.1f ms: %s)\n", limit.label.c_str(), milliseconds,
                    limit.goalMilliseconds, Verdict(milliseconds <= limit.goalMilliseconds));
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace OrvaneBench
