// The benchmark program: makes sure the inputs exist (generating them once), then runs the
// benchmarks that the family files registered.
#include <benchmark/benchmark.h>

#include "bench/bench_support.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (!prepareBenchData()) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
