// Decoding a big row payload into a reused RowSet, against a floor: one plain
// pass over the same bytes that parses every integer and copies every text.

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "link/codec/field_type.h"
#include "link/codec/result_set.h"
#include "link/codec/wire_int.h"
#include "list_payload.h"

using namespace mero;

namespace {

constexpr int kRows = bench::kListRows;

const std::vector<link::FieldDef>& Fields() {
  static const std::vector<link::FieldDef> fields = link::FieldDefsFromFastFields(bench::kListFields);
  return fields;
}

const std::string& Payload() { return bench::ListPayload(); }

void BM_DecodeRows(benchmark::State& state) {
  const std::string& payload = Payload();
  link::RowSet rows(Fields());
  for (auto _ : state) {
    const link::RowsDecoded r = link::DecodeRows(payload, 0, rows);
    benchmark::DoNotOptimize(r.rowsAdded);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(payload.size()));
}
BENCHMARK(BM_DecodeRows)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: walk every byte once, skip 0x05 doubles and 0x06 chunks, parse
// the integer columns and copy every text value into one reused buffer.
void BM_BaselineScan(benchmark::State& state) {
  const std::string& payload = Payload();
  std::vector<bool> isInteger;
  for (const link::FieldDef& f : Fields()) {
    isInteger.push_back(f.type == link::ftInteger || f.type == link::ftLargeint);
  }
  std::string buffer;
  for (auto _ : state) {
    std::int64_t sum = 0;
    std::size_t rows = 0;
    std::size_t col = 0;
    std::size_t start = 0;
    const char* p = payload.data();
    const std::size_t n = payload.size();
    for (std::size_t i = 0; i < n;) {
      switch (p[i]) {
        case 2:
          if (col < isInteger.size() && isInteger[col]) {
            std::int64_t v = 0;
            std::from_chars(p + start, p + i, v);
            sum += v;
          } else {
            buffer.assign(p + start, i - start);
          }
          ++col;
          start = ++i;
          break;
        case 4:
          ++rows;
          col = 0;
          start = ++i;
          break;
        case 5:
          i += 9;
          break;
        case 6:
          i += 5 + static_cast<std::size_t>(link::GetInt32(p + i + 1));
          break;
        default:
          ++i;
          break;
      }
    }
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(rows);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(payload.size()));
}
BENCHMARK(BM_BaselineScan)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps the best time of each benchmark so the ratio can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const std::string name = run.benchmark_name();
      const double t = run.GetAdjustedRealTime();
      if (name.rfind("BM_DecodeRows", 0) == 0 && t < decode_) decode_ = t;
      if (name.rfind("BM_BaselineScan", 0) == 0 && t < baseline_) baseline_ = t;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatio() const {
    if (decode_ == kNone || baseline_ == kNone) return;
    std::printf("payload %zu bytes, %d rows x %zu columns\n", Payload().size(), kRows, Fields().size());
    std::printf("decode %.2f ms, baseline %.2f ms, ratio decode/baseline %.2f (target <= 2.0)\n", decode_, baseline_,
                decode_ / baseline_);
  }

 private:
  static constexpr double kNone = std::numeric_limits<double>::max();
  double decode_ = kNone;
  double baseline_ = kNone;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio();
  benchmark::Shutdown();
  return 0;
}
