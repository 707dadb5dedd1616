// The link's zlib and cipher routines against the bare library calls on the
// same data: each pair shows what the wrapper adds.

#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "link/codec/compression.h"
#include "link/codec/rijndael.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

// About 1 MB of rows as a result set carries them: keys, Greek names, models,
// dates and amounts.
const std::string& Rows() {
  static const std::string rows = [] {
    std::string s;
    for (int row = 0; s.size() < (1u << 20); ++row) {
      s += std::to_string(100000 + row) + "|" + "ΤΜΗΜΑ ΠΡΟΜΗΘΕΙΩΝ ΚΑΙ ΑΝΑΛΩΣΙΜΩΝ"_gr + "|HP LaserJet " +
           std::to_string(1000 + row % 37) + "|" + std::to_string(1 + row % 28) + "/0" + std::to_string(1 + row % 9) +
           "/2024|" + std::to_string(row * 7919 % 100000) + "," + std::to_string(row % 100) + "|" +
           (row % 3 == 0 ? "ΟΡΙΣΤΙΚΗ"_gr : "ΠΡΟΣΩΡΙΝΗ"_gr) + "\n";
    }
    s.resize(1u << 20);
    return s;
  }();
  return rows;
}

const std::string& Packed() {
  static const std::string packed = link::DeflateText(Rows(), 1);
  return packed;
}

const std::string kKey = "0123456789abcdef";

void SetBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Rows().size()));
}

void BM_DeflateText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(link::DeflateText(Rows(), 1));
  SetBytes(state);
}

void BM_DeflateBare(benchmark::State& state) {
  const std::string& in = Rows();
  for (auto _ : state) {
    std::string out(compressBound(static_cast<uLong>(in.size())), '\0');
    uLongf size = static_cast<uLongf>(out.size());
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(in.data()),
                  static_cast<uLong>(in.size()), 1) != Z_OK) {
      throw std::runtime_error("compress2");
    }
    out.resize(size);
    benchmark::DoNotOptimize(out);
  }
  SetBytes(state);
}

void BM_InflateText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(link::InflateText(Packed()));
  SetBytes(state);
}

void BM_InflateBare(benchmark::State& state) {
  const std::string& in = Packed();
  for (auto _ : state) {
    std::string out(Rows().size(), '\0');
    uLongf size = static_cast<uLongf>(out.size());
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(in.data()),
                   static_cast<uLong>(in.size())) != Z_OK) {
      throw std::runtime_error("uncompress");
    }
    out.resize(size);
    benchmark::DoNotOptimize(out);
  }
  SetBytes(state);
}

void BM_EncryptString(benchmark::State& state) {
  link::TRijndael cipher;
  cipher.SetKey(kKey);
  for (auto _ : state) benchmark::DoNotOptimize(cipher.EncryptString(Rows()));
  SetBytes(state);
}

void BM_DecryptString(benchmark::State& state) {
  link::TRijndael cipher;
  cipher.SetKey(kKey);
  const std::string sealed = cipher.EncryptString(Rows());
  for (auto _ : state) benchmark::DoNotOptimize(cipher.DecryptString(sealed));
  SetBytes(state);
}

// The bare cipher: one keyed context reused, one output string per call.
void BareCipher(benchmark::State& state, bool encrypt) {
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  const auto* key = reinterpret_cast<const unsigned char*>(kKey.data());
  EVP_CipherInit_ex(ctx, EVP_aes_128_ecb(), nullptr, key, nullptr, encrypt ? 1 : 0);
  EVP_CIPHER_CTX_set_padding(ctx, 0);
  const std::string& in = Rows();
  for (auto _ : state) {
    std::string out(in.size(), '\0');
    int written = 0;
    EVP_CipherUpdate(ctx, reinterpret_cast<unsigned char*>(out.data()), &written,
                     reinterpret_cast<const unsigned char*>(in.data()), static_cast<int>(in.size()));
    benchmark::DoNotOptimize(out);
  }
  EVP_CIPHER_CTX_free(ctx);
  SetBytes(state);
}

void BM_EncryptBare(benchmark::State& state) { BareCipher(state, true); }
void BM_DecryptBare(benchmark::State& state) { BareCipher(state, false); }

double Fastest(const std::vector<double>& runs) { return *std::min_element(runs.begin(), runs.end()); }

// The machine is shared with other work, which only ever adds time: each
// figure is the fastest of several runs.
#define MERO_BENCH(fn)                    \
  BENCHMARK(fn)                           \
      ->Unit(benchmark::kMicrosecond)     \
      ->Repetitions(9)                    \
      ->ComputeStatistics("min", Fastest) \
      ->ReportAggregatesOnly(true)
MERO_BENCH(BM_DeflateText);
MERO_BENCH(BM_DeflateBare);
MERO_BENCH(BM_InflateText);
MERO_BENCH(BM_InflateBare);
MERO_BENCH(BM_EncryptString);
MERO_BENCH(BM_EncryptBare);
MERO_BENCH(BM_DecryptString);
MERO_BENCH(BM_DecryptBare);

// Prints the usual table, then each routine's time over its baseline's.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "min") {
        cpu_[run.run_name.function_name] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatios() const {
    const std::pair<const char*, const char*> pairs[] = {{"BM_DeflateText", "BM_DeflateBare"},
                                                         {"BM_InflateText", "BM_InflateBare"},
                                                         {"BM_EncryptString", "BM_EncryptBare"},
                                                         {"BM_DecryptString", "BM_DecryptBare"}};
    std::printf("\nratio (routine / bare library call, fastest CPU time; target <= 1.10)\n");
    for (const auto& [mine, bare] : pairs) {
      const auto a = cpu_.find(mine);
      const auto b = cpu_.find(bare);
      if (a == cpu_.end() || b == cpu_.end()) continue;
      std::printf("  %-18s %6.3f\n", mine, a->second / b->second);
    }
  }

 private:
  std::map<std::string, double> cpu_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::printf("data: %zu bytes of rows, %zu bytes deflated at level 1\n", Rows().size(), Packed().size());
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
