// A console reporter for Google Benchmark that, after the usual table,
// prints ratios between benchmarks measured in the same run: for each pair
// the median CPU time of every repetition of one over the other's, with the
// medians themselves, so that peers compared on a shared machine are
// compared under the same load.
//
// Benchmarks are named by the name given to RegisterBenchmark. A ratio whose
// benchmarks did not both run (a --benchmark_filter left one out, or it
// failed) is printed as "n/a".
#ifndef SKYVANE_BENCH_RATIO_REPORTER_H_
#define SKYVANE_BENCH_RATIO_REPORTER_H_

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace skyvane::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : benchmark::ConsoleReporter(OO_Tabular) {}

  // Prints median(time of `slower`) / median(time of `faster`) under `label`;
  // below 1 when `slower` was in fact faster.
  void AddTimeRatio(std::string label, std::string slower, std::string faster) {
    ratios_.push_back({std::move(label), std::move(slower), std::move(faster)});
  }

  // Also prints the median of a user counter of each benchmark named in a
  // ratio (for example the memory a document holds).
  void ShowCounter(std::string counter) { counters_.push_back(std::move(counter)); }

  void ReportRuns(const std::vector<Run>& reports) override {
    benchmark::ConsoleReporter::ReportRuns(reports);
    for (const Run& run : reports) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      Samples& samples = samples_[run.run_name.function_name];
      samples.cpu.push_back(run.GetAdjustedCPUTime());
      samples.time_unit = run.time_unit;
      for (const auto& [name, counter] : run.counters) samples.counters[name].push_back(counter);
    }
  }

  void Finalize() override {
    benchmark::ConsoleReporter::Finalize();
    std::FILE* out = stdout;
    std::fflush(out);
    std::fprintf(out, "\nRatios of median CPU times (repetitions interleaved in one run):\n");
    for (const Ratio& ratio : ratios_) {
      const double slower = Median(ratio.slower);
      const double faster = Median(ratio.faster);
      if (slower <= 0 || faster <= 0) {
        std::fprintf(out, "  %-52s n/a\n", ratio.label.c_str());
        continue;
      }
      std::fprintf(out, "  %-52s %6.2f   (%s %.3f %s / %s %.3f %s, %zu and %zu runs)\n",
                   ratio.label.c_str(), slower / faster, ratio.slower.c_str(), slower,
                   UnitName(ratio.slower), ratio.faster.c_str(), faster, UnitName(ratio.faster),
                   Runs(ratio.slower), Runs(ratio.faster));
    }
    for (const std::string& counter : counters_) {
      std::fprintf(out, "\nMedian %s:\n", counter.c_str());
      for (const auto& [name, samples] : samples_) {
        auto found = samples.counters.find(counter);
        if (found == samples.counters.end()) continue;
        std::vector<double> values = found->second;
        std::fprintf(out, "  %-52s %8.3f\n", name.c_str(), MedianOf(values));
      }
    }
    std::fflush(out);
  }

  // The median CPU time of `name` in its own unit, or 0 when it did not run.
  double Median(const std::string& name) const {
    auto found = samples_.find(name);
    if (found == samples_.end()) return 0;
    std::vector<double> cpu = found->second.cpu;
    return MedianOf(cpu);
  }

 private:
  struct Samples {
    std::vector<double> cpu;
    benchmark::TimeUnit time_unit = benchmark::kNanosecond;
    std::map<std::string, std::vector<double>> counters;
  };
  struct Ratio {
    std::string label;
    std::string slower;
    std::string faster;
  };

  static double MedianOf(std::vector<double>& values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
  }

  const char* UnitName(const std::string& name) const {
    auto found = samples_.find(name);
    return found == samples_.end() ? "" : benchmark::GetTimeUnitString(found->second.time_unit);
  }

  size_t Runs(const std::string& name) const {
    auto found = samples_.find(name);
    return found == samples_.end() ? 0 : found->second.cpu.size();
  }

  std::map<std::string, Samples> samples_;
  std::vector<Ratio> ratios_;
  std::vector<std::string> counters_;
};

// The program's arguments with `defaults` placed before the caller's own,
// so that the caller's flags (parsed later) win.
inline std::vector<char*> WithDefaultFlags(int argc, char** argv,
                                           const std::vector<const char*>& defaults) {
  std::vector<char*> args;
  args.push_back(argv[0]);
  for (const char* flag : defaults) args.push_back(const_cast<char*>(flag));
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  return args;
}

}  // namespace skyvane::bench

#endif  // SKYVANE_BENCH_RATIO_REPORTER_H_
