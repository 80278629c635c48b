// cStringBuilder against std::u16string: long runs of appends in pieces of
// several sizes, and a binary search for a pattern near the end of a long
// text. Each append run starts from a fresh object with no reservation.
// The two sides of every comparison are registered next to each other so
// that they run close together in time on a shared machine; times are CPU
// time (user and system, the page faults of a growing buffer included).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>

#include "text/string_builder.h"

namespace {

constexpr int64_t kMebi = int64_t{1} << 20;
constexpr size_t kSourceUnits = 4096;
constexpr int64_t kFindTextUnits = 16 * kMebi;
constexpr size_t kPatternUnits = 16;
constexpr size_t kPatternFromEnd = 100;

// Readable text to copy pieces from.
const std::u16string& Source() {
  static const std::u16string source = [] {
    std::u16string s(kSourceUnits, u' ');
    std::mt19937 random(1);
    for (char16_t& c : s) c = static_cast<char16_t>(u'a' + random() % 26);
    return s;
  }();
  return source;
}

// Arguments: total code units in MiB, piece size in code units.
template <typename Sink>
void AppendRun(benchmark::State& state) {
  const int64_t total = state.range(0) * kMebi;
  const size_t piece = static_cast<size_t>(state.range(1));
  const int64_t pieces = total / static_cast<int64_t>(piece);
  const char16_t* data = Source().data();
  for (auto _ : state) {
    Sink sink;
    for (int64_t i = 0; i < pieces; ++i) sink.Add(data, piece);
    benchmark::DoNotOptimize(sink.Size());
  }
  state.SetBytesProcessed(state.iterations() * pieces * static_cast<int64_t>(piece) *
                          static_cast<int64_t>(sizeof(char16_t)));
}

struct BuilderSink {
  skyvane::cStringBuilder builder;
  void Add(const char16_t* p, size_t n) { builder.Append(std::u16string_view(p, n)); }
  int64_t Size() const { return builder.Length(); }
};

struct StdStringSink {
  std::u16string text;
  void Add(const char16_t* p, size_t n) { text.append(p, n); }
  int64_t Size() const { return static_cast<int64_t>(text.size()); }
};

// A random lower-case text with one upper-case pattern planted near its end,
// so that the search passes over the whole text.
const std::u16string& FindText() {
  static const std::u16string text = [] {
    std::u16string s(static_cast<size_t>(kFindTextUnits), u' ');
    std::mt19937 random(2);
    for (char16_t& c : s) c = static_cast<char16_t>(u'a' + random() % 26);
    s.replace(s.size() - kPatternFromEnd, kPatternUnits, std::u16string(kPatternUnits, u'Q'));
    return s;
  }();
  return text;
}

const std::u16string kPattern(kPatternUnits, u'Q');

void BM_FindBuilder(benchmark::State& state) {
  skyvane::cStringBuilder builder;
  builder.Append(FindText());
  for (auto _ : state) {
    benchmark::DoNotOptimize(builder.Find(kPattern, 1, skyvane::cStringBuilder::kBinaryCompare));
  }
  state.SetBytesProcessed(state.iterations() * kFindTextUnits *
                          static_cast<int64_t>(sizeof(char16_t)));
}

void BM_FindStdString(benchmark::State& state) {
  const std::u16string& text = FindText();
  for (auto _ : state) benchmark::DoNotOptimize(text.find(kPattern));
  state.SetBytesProcessed(state.iterations() * kFindTextUnits *
                          static_cast<int64_t>(sizeof(char16_t)));
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  for (int64_t mebi : {64, 256}) {
    for (int64_t piece : {1, 16, 4096}) {
      benchmark::RegisterBenchmark("BM_AppendBuilder", AppendRun<BuilderSink>)
          ->Args({mebi, piece})
          ->ArgNames({"MiB", "piece"})
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark("BM_AppendStdString", AppendRun<StdStringSink>)
          ->Args({mebi, piece})
          ->ArgNames({"MiB", "piece"})
          ->Unit(benchmark::kMillisecond);
    }
  }
  benchmark::RegisterBenchmark("BM_FindBuilder", BM_FindBuilder)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_FindStdString", BM_FindStdString)->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
