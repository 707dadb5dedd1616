// Cutting frames from the receive buffer against copying the same bytes.
// 10,000 and 100,000 small frames arrive in 4,096-byte reads; the time per
// frame must be the same for both counts (no quadratic cost).

#include <cstring>
#include <random>
#include <string>

#include "bench_ratio.h"
#include "link/codec/message_stack.h"

using namespace mero;

namespace {

constexpr std::size_t kRead = 4096;

const std::string& Stream(int frames) {
  static std::string streams[2];
  std::string& s = streams[frames == 10000 ? 0 : 1];
  if (s.empty()) {
    std::mt19937 rng(7);
    // A link message is at least its 50-byte header; small requests and
    // replies carry a short SQL text or a few numbers after it.
    std::uniform_int_distribution<int> len(50, 200);
    for (int i = 0; i < frames; ++i) link::AppendFrame(s, std::string(static_cast<std::size_t>(len(rng)), 'm'));
  }
  return s;
}

void BM_CutFrames(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  const std::string& s = Stream(frames);
  link::TLinkMessageStack stack;
  for (auto _ : state) {
    std::size_t count = 0;
    std::size_t bytes = 0;
    for (std::size_t pos = 0; pos < s.size(); pos += kRead) {
      stack.Feed(s.data() + pos, std::min(kRead, s.size() - pos), [&](std::string_view m) {
        ++count;
        bytes += m.size();
      });
    }
    benchmark::DoNotOptimize(count);
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["ns_per_frame"] = benchmark::Counter(
      static_cast<double>(frames), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The baseline: the same reads copied into a reused buffer of the same size.
void BM_CopyBytes(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  const std::string& s = Stream(frames);
  std::string buffer(kRead * 2, '\0');
  for (auto _ : state) {
    for (std::size_t pos = 0; pos < s.size(); pos += kRead) {
      const std::size_t n = std::min(kRead, s.size() - pos);
      std::memcpy(buffer.data(), s.data() + pos, n);
      benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(buffer.data());
  }
}

BENCHMARK(BM_CutFrames)->Arg(10000)->Arg(100000);
BENCHMARK(BM_CopyBytes)->Arg(10000)->Arg(100000);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunAndReport(
      argc, argv,
      {{"BM_CutFrames/100000", "BM_CopyBytes/100000", 3.0}, {"BM_CutFrames/10000", "BM_CopyBytes/10000", 3.0}});
}
