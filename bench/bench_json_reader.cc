// ReadJson against nlohmann::json and RapidJSON's DOM (default flags, and
// kParseFullPrecisionFlag, whose numbers are exact like ours) on three public
// documents: canada.json (numbers), citm_catalog.json (objects, short keys)
// and twitter.json (text, escapes, non-ASCII).
//
// Throughput is MB/s of the original UTF-8 file. ReadJson reads UTF-16, so
// its input is converted once before timing; the peers parse the UTF-8
// bytes. Only the parse is timed: releasing the previous document happens
// with the timer paused. The counter held_MiB is the memory the parsed
// document keeps (glibc's bytes in use, small and mapped blocks, measured
// around one extra parse with the document still alive).
//
// Repetitions (10 by default) run interleaved in random order, and the end
// of the output gives, per document, ReadJson's speed as a ratio to each
// peer's (above 1: ReadJson is faster) from median CPU times, and the
// memory each parser's document holds.
//
// The documents are looked up in $SKYVANE_BENCH_DATA, else in bench/data of
// the source tree when it exists, else in the folder the build names
// (../shared/bench-data beside the source tree).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <rapidjson/document.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "json/json_reader.h"
#include "json/json_value.h"
#include "text/utf.h"

namespace {

constexpr double kMebi = 1024.0 * 1024.0;
constexpr const char* kDocuments[] = {"canada.json", "citm_catalog.json", "twitter.json"};

std::string DataDir() {
  if (const char* dir = std::getenv("SKYVANE_BENCH_DATA"); dir != nullptr && *dir != '\0') {
    return dir;
  }
  if (std::filesystem::is_directory(SKYVANE_BENCH_SOURCE_DATA_DIR)) {
    return SKYVANE_BENCH_SOURCE_DATA_DIR;
  }
  return SKYVANE_BENCH_DATA_DIR;
}

// The bytes of a document; exits when it cannot be read, so that a missing
// corpus is not mistaken for a fast parser.
const std::string& Bytes(const std::string& name) {
  static std::map<std::string, std::string> cache;
  auto found = cache.find(name);
  if (found != cache.end()) return found->second;
  const std::string path = DataDir() + "/" + name;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "bench_json_reader: cannot read %s (set SKYVANE_BENCH_DATA)\n",
                 path.c_str());
    std::exit(2);
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return cache.emplace(name, std::move(bytes)).first->second;
}

size_t BytesInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// Memory kept by the document that `parse` returns, in MiB.
template <typename Parse>
double HeldMiB(Parse&& parse) {
  const size_t before = BytesInUse();
  auto document = parse();
  const size_t after = BytesInUse();
  benchmark::DoNotOptimize(document);
  return static_cast<double>(after - before) / kMebi;
}

void Report(benchmark::State& state, const std::string& bytes, double held) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bytes.size()));
  state.counters["held_MiB"] = held;
}

void BM_ReadJson(benchmark::State& state, const char* name) {
  const std::string& bytes = Bytes(name);
  const std::u16string text = skyvane::Utf8ToUtf16(skyvane::StripByteOrderMark(bytes));
  skyvane::JsonValue root;
  for (auto _ : state) {
    root = skyvane::ReadJson(text);
    benchmark::DoNotOptimize(root);
    state.PauseTiming();
    if (!skyvane::ErrorLog().empty()) state.SkipWithError("the document did not read cleanly");
    root = skyvane::JsonValue();
    state.ResumeTiming();
  }
  Report(state, bytes, HeldMiB([&] { return skyvane::ReadJson(text); }));
}

void BM_Nlohmann(benchmark::State& state, const char* name) {
  const std::string& bytes = Bytes(name);
  nlohmann::json document;
  for (auto _ : state) {
    document = nlohmann::json::parse(bytes);
    benchmark::DoNotOptimize(document);
    state.PauseTiming();
    document = nlohmann::json();
    state.ResumeTiming();
  }
  Report(state, bytes, HeldMiB([&] { return nlohmann::json::parse(bytes); }));
}

template <unsigned kFlags>
void BM_RapidJson(benchmark::State& state, const char* name) {
  const std::string& bytes = Bytes(name);
  auto parse = [&bytes] {
    auto document = std::make_unique<rapidjson::Document>();
    document->Parse<kFlags>(bytes.data(), bytes.size());
    return document;
  };
  for (auto _ : state) {
    auto document = parse();
    benchmark::DoNotOptimize(document);
    state.PauseTiming();
    if (document->HasParseError()) state.SkipWithError("RapidJSON could not parse the document");
    document.reset();
    state.ResumeTiming();
  }
  Report(state, bytes, HeldMiB(parse));
}

constexpr const char* kOurs = "ReadJson";
const struct Peer {
  const char* name;
  void (*run)(benchmark::State&, const char*);
} kPeers[] = {
    {"RapidJSON", BM_RapidJson<rapidjson::kParseDefaultFlags>},
    {"RapidJSON_full_precision", BM_RapidJson<rapidjson::kParseFullPrecisionFlag>},
    {"nlohmann", BM_Nlohmann},
};

std::string NameOf(const std::string& parser, const char* document) {
  return parser + "/" + document;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args = skyvane::bench::WithDefaultFlags(
      argc, argv, {"--benchmark_repetitions=10", "--benchmark_enable_random_interleaving=true"});
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  skyvane::bench::RatioReporter reporter;
  for (const char* document : kDocuments) {
    benchmark::RegisterBenchmark(NameOf(kOurs, document).c_str(), BM_ReadJson, document)
        ->Unit(benchmark::kMillisecond);
    for (const Peer& peer : kPeers) {
      benchmark::RegisterBenchmark(NameOf(peer.name, document).c_str(), peer.run, document)
          ->Unit(benchmark::kMillisecond);
      reporter.AddTimeRatio(std::string("speed ") + kOurs + " / " + peer.name + ", " + document,
                            NameOf(peer.name, document), NameOf(kOurs, document));
    }
  }
  reporter.ShowCounter("held_MiB");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
