#pragma once

// A console reporter that remembers each benchmark's time per iteration, and
// a main() helper that prints code/baseline ratios after the run. With
// repetitions, a benchmark's time is its fastest repetition: on a shared
// machine the other runs mostly measure the neighbours.

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
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Time per iteration in the reporter's unit, or 0 when the benchmark did not run.
  double Time(const std::string& name) const {
    auto it = times_.find(name);
    return it == times_.end() ? 0 : it->second;
  }

 private:
  std::map<std::string, double> times_;
};

struct RatioCheck {
  std::string code;
  std::string baseline;
  double limit;
};

// Runs the selected benchmarks, then prints "ratio code/baseline" for each
// pair that ran. Returns 1 when a ratio is above its limit.
inline int RunAndReport(int argc, char** argv, const std::vector<RatioCheck>& checks) {
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
  benchmark::Shutdown();
  return status;
}

}  // namespace mero::bench
