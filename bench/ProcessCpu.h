#pragma once
// The CPU time of the whole process (every thread) over the timed stretches of a benchmark: what
// work spread over the cores costs, beside the calling thread's time that the library reports.

#include <benchmark/benchmark.h>

#include <ctime>

namespace tessarel::bench {

inline double ProcessCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Begin and End bracket each timed stretch; Report gives the mean per iteration.
class ProcessCpu {
public:
    void Begin() { start = ProcessCpuMs(); }
    void End() { total += ProcessCpuMs() - start; }
    void Report(benchmark::State& state) const {
        state.counters["process_cpu_ms"] = state.iterations() ? total / static_cast<double>(state.iterations()) : 0;
    }

private:
    double start = 0;
    double total = 0;
};

}  // namespace tessarel::bench
