#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

// With repetitions (--benchmark_repetitions), every benchmark reports the smallest and the
// largest repetition beside Google Benchmark's mean, median and standard deviation: the spread
// that the figures in docs/PERFORMANCE.md quote. They apply to times and counters alike.

inline double Minimum(const std::vector<double>& values) {
  return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

inline double Maximum(const std::vector<double>& values) {
  return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
}

inline void AddSpread(benchmark::internal::Benchmark* benchmark) {
  benchmark->ComputeStatistics("min", Minimum)->ComputeStatistics("max", Maximum);
}
