// Micro-benchmarks of the per-badge hot paths, each beside its floor: the
// least work that reads the same bytes. scripts/bench.sh pairs "X" with
// "X_Floor" into one row.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <string>

#include "frame_decoder.h"
#include "frames.h"
#include "text_rules.h"

namespace {

constexpr int kFramesPerPass = 1000;

std::string FrameStream() {
  std::string stream;
  for (int number = 0; number < kFramesPerPass; ++number) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "01%08X", static_cast<unsigned>(number));
    stream += corvane::testing::Frame(hex, "\r\n");
  }
  return stream;
}

void FrameDecoding(benchmark::State& state) {
  const std::string stream = FrameStream();
  for (auto _ : state) {
    tavrix::FrameDecoder decoder;
    benchmark::DoNotOptimize(decoder.Feed(stream));
  }
  state.SetItemsProcessed(state.iterations() * kFramesPerPass);
}
BENCHMARK(FrameDecoding);

void FrameDecoding_Floor(benchmark::State& state) {
  const std::string stream = FrameStream();
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::count(stream.begin(), stream.end(), '\x03'));
  }
  state.SetItemsProcessed(state.iterations() * kFramesPerPass);
}
BENCHMARK(FrameDecoding_Floor);

// One badge's card data back from the library: 255 bytes offered, 13 kept.
void CardDataConversion(benchmark::State& state) {
  const std::string buffer = "0011234567890" + std::string(242, ' ');
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        corvane::FromAnsi(std::string_view(buffer.data(), corvane::KeptBytes(14, buffer.size()))));
  }
}
BENCHMARK(CardDataConversion);

void CardDataConversion_Floor(benchmark::State& state) {
  const std::string buffer = "0011234567890" + std::string(242, ' ');
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::wstring(buffer.begin(), buffer.begin() + 13));
  }
}
BENCHMARK(CardDataConversion_Floor);

}  // namespace

int main(int argc, char** argv) {
  // The program runs in the operator's locale; a UTF-8 one is the common case.
  std::setlocale(LC_ALL, "C.UTF-8");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
