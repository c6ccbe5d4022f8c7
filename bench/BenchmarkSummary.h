#pragma once

#include <string>
#include <vector>

namespace OrvaneBench {

// "subject is N times as fast as yardstick": the yardstick's time per
// iteration divided by the subject's. Names are full benchmark names.
struct SpeedRatio {
    std::string label;
    std::string subject;
    std::string yardstick;
    double goal;  // the lowest ratio that meets the goal; 0 when there is none
};

// A benchmark whose time per iteration should stay under a limit.
struct TimeLimit {
    std::string label;
    std::string subject;
    double goalMilliseconds;
};

struct Summary {
    std::vector<SpeedRatio> ratios;
    std::vector<TimeLimit> limits;
};

// Runs the benchmarks selected on the command line as benchmark_main does,
// then prints the ratios and limits of `summary` from this one run. Entries
// whose benchmarks did not run are left out. Nothing is asserted: the
// summary only says whether each goal was met.
int RunBenchmarks(int argc, char** argv, const Summary& summary);

}  // namespace OrvaneBench
