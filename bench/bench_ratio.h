#pragma once

// A console reporter that remembers each benchmark's time per iteration, and
// a main() helper that prints code/baseline ratios after the run. With
// repetitions, a benchmark's time is its fastest repetition: on a shared
// machine the other runs mostly measure the neighbours. A limit on a time of
// its own (a window must open within a second) is held against the median of
// the repetitions instead: that is what a user waits for.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace mero::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.run_type == Run::RT_Iteration && r.iterations > 0 && !r.error_occurred) {
        // The function and its arguments, without the run settings
        // ("/repeats:5", "/min_time:…") that the checks do not name.
        std::string name = r.run_name.function_name;
        if (!r.run_name.args.empty()) name += "/" + r.run_name.args;
        const double t = r.GetAdjustedRealTime();
        auto it = times_.find(name);
        if (it == times_.end() || t < it->second) times_[name] = t;
        units_[name] = benchmark::GetTimeUnitString(r.time_unit);
      } else if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median" && !r.error_occurred) {
        std::string name = r.run_name.function_name;
        if (!r.run_name.args.empty()) name += "/" + r.run_name.args;
        medians_[name] = r.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Time per iteration in the reporter's unit, or 0 when the benchmark did not run.
  double Time(const std::string& name) const {
    auto it = times_.find(name);
    return it == times_.end() ? 0 : it->second;
  }
  // The median of the repetitions in the same unit, or 0 without repetitions.
  double Median(const std::string& name) const {
    auto it = medians_.find(name);
    return it == medians_.end() ? 0 : it->second;
  }
  std::string Unit(const std::string& name) const {
    auto it = units_.find(name);
    return it == units_.end() ? std::string() : it->second;
  }

 private:
  std::map<std::string, double> times_;
  std::map<std::string, double> medians_;
  std::map<std::string, std::string> units_;
};

struct RatioCheck {
  std::string code;
  std::string baseline;
  double limit;
};

// A ceiling on a benchmark's median, in the benchmark's own time unit.
struct TimeCheck {
  std::string name;
  double limit;
};

// Runs the selected benchmarks, then prints "ratio code/baseline" for each
// pair that ran and "median name" for each ceiling whose benchmark ran with
// repetitions. Returns 1 when a ratio or a median is above its limit.
inline int RunAndReport(int argc, char** argv, const std::vector<RatioCheck>& checks,
                        const std::vector<TimeCheck>& ceilings = {}) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  int status = 0;
  std::printf("\n");
  for (const RatioCheck& c : checks) {
    const double a = reporter.Time(c.code);
    const double b = reporter.Time(c.baseline);
    if (a <= 0 || b <= 0) continue;
    const double ratio = a / b;
    const bool ok = ratio <= c.limit;
    if (!ok) status = 1;
    std::printf("ratio %-40s / %-40s = %6.2f (limit %.2f) %s\n", c.code.c_str(), c.baseline.c_str(), ratio, c.limit,
                ok ? "ok" : "ABOVE LIMIT");
  }
  for (const TimeCheck& c : ceilings) {
    const double m = reporter.Median(c.name);
    if (m <= 0) continue;
    const bool ok = m <= c.limit;
    if (!ok) status = 1;
    const std::string unit = reporter.Unit(c.name);
    std::printf("median %-40s = %8.2f %s (limit %.2f %s) %s\n", c.name.c_str(), m, unit.c_str(), c.limit, unit.c_str(),
                ok ? "ok" : "ABOVE LIMIT");
  }
  benchmark::Shutdown();
  return status;
}

}  // namespace mero::bench
