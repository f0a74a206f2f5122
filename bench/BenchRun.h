// How the benchmarks here are registered and run.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <utility>

namespace mwbench {

// `run(state, args...)` timed by the wall clock in milliseconds over a fixed
// number of iterations: each is a whole process or a whole pass over a disk,
// whose waiting on children and files is what the operator waits for too.
template <class Run, class... Args>
benchmark::internal::Benchmark* RegisterTimed(const std::string& name, int iterations, Run run,
                                              Args&&... args) {
    return benchmark::RegisterBenchmark(name.c_str(), run, std::forward<Args>(args)...)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(iterations);
}

// Runs the benchmarks the command line asks for; what is left of main once
// they are registered.
inline int RunBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace mwbench
