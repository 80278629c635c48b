// ReadJson against nlohmann::json and RapidJSON's DOM (default flags, and
// kParseFullPrecisionFlag, whose numbers are exact like ours) on three public
// documents: canada.json (numbers), citm_catalog.json (objects, short keys)
// and twitter.json (text, escapes, non-ASCII).
//
// Throughput is MB/s of the original UTF-8 file. ReadJson reads UTF-16, so
// its input is converted once before timing; the peers parse the UTF-8
// bytes. Only the parse is timed: releasing the previous document happens
// with the timer paused. ReadJsonFromBytes times the whole way from the
// file's bytes to the tree (ReadJsonUtf8: byte-order mark, decoding into the
// thread's reused buffer, ReadJson), which is what the programs do, and is
// compared with RapidJSON's default DOM too.
//
// The conversion Utf8ToUtf16 is timed on its own on the three documents, on
// an all-ASCII text and on a text of mostly CJK ideographs (both generated),
// beside the plain decoder it replaced (kept with the tests) and ICU's
// u_strFromUTF8WithSub, which substitute the same way; the counter MB_per_s
// gives their speed in decimal megabytes of input a second.
//
// The counter held_MiB is the memory the parsed document keeps (glibc's
// bytes in use, small and mapped blocks, measured around one extra parse
// with the document still alive).
//
// Repetitions (10 by default) run interleaved in random order, and the end
// of the output gives, per document, ReadJson's speed (and that of
// ReadJsonFromBytes) as a ratio to each peer's (above 1: ours is faster),
// and per text Utf8ToUtf16's to each other converter's, from median CPU
// times; then the memory each parser's document holds and the median
// MB_per_s of each converter.
//
// The documents are looked up in $SKYVANE_BENCH_DATA, else in bench/data of
// the source tree when it exists, else in the folder the build names
// (../shared/bench-data beside the source tree).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <rapidjson/document.h>
#include <unicode/ustring.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "json/json_reader.h"
#include "json/json_value.h"
#include "tests/text/utf8_reference.h"
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

// The whole way from a file's bytes to its tree, as the programs read files.
void BM_ReadJsonFromBytes(benchmark::State& state, const char* name) {
  const std::string& bytes = Bytes(name);
  skyvane::JsonValue root;
  for (auto _ : state) {
    root = skyvane::ReadJsonUtf8(bytes);
    benchmark::DoNotOptimize(root);
    state.PauseTiming();
    if (!skyvane::ErrorLog().empty()) state.SkipWithError("the document did not read cleanly");
    root = skyvane::JsonValue();
    state.ResumeTiming();
  }
  Report(state, bytes, HeldMiB([&] { return skyvane::ReadJsonUtf8(bytes); }));
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

// Texts for the conversion alone: the documents, and two generated ones of
// about the same size.
constexpr size_t kGeneratedBytes = 2 * 1000 * 1000;
constexpr const char* kAsciiText = "ascii";
constexpr const char* kCjkText = "cjk";
constexpr const char* kTexts[] = {"canada.json", "citm_catalog.json", "twitter.json", kAsciiText,
                                  kCjkText};

// Printable ASCII in lines of up to 80 bytes.
std::string AsciiText() {
  std::mt19937 random(1);
  std::uniform_int_distribution<int> printable(' ', '~');
  std::uniform_int_distribution<int> line(1, 80);
  std::string text;
  while (text.size() < kGeneratedBytes) {
    for (int i = line(random); i > 0; --i) text += static_cast<char>(printable(random));
    text += '\n';
  }
  return text;
}

// Ideographs of the CJK Unified Ideographs block (three bytes each), with
// now and then an ASCII space or line end, as in running text.
std::string CjkText() {
  std::mt19937 random(2);
  std::uniform_int_distribution<char32_t> ideograph(0x4E00, 0x9FFF);
  std::uniform_int_distribution<int> gap(0, 15);
  std::string text;
  while (text.size() < kGeneratedBytes) {
    skyvane::AppendUtf8(text, ideograph(random));
    if (gap(random) == 0) text += ' ';
    if (text.size() % 97 == 0) text += '\n';
  }
  return text;
}

const std::string& Text(const std::string& name) {
  static const std::string ascii = AsciiText();
  static const std::string cjk = CjkText();
  if (name == kAsciiText) return ascii;
  if (name == kCjkText) return cjk;
  return Bytes(name);
}

void ReportConversion(benchmark::State& state, const std::string& bytes) {
  constexpr double kMega = 1e6;
  state.counters["MB_per_s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * static_cast<double>(bytes.size()) / kMega,
      benchmark::Counter::kIsRate);
}

template <std::u16string (*kConvert)(std::string_view)>
void BM_Convert(benchmark::State& state, const char* name) {
  const std::string& bytes = Text(name);
  for (auto _ : state) {
    std::u16string text = kConvert(bytes);
    benchmark::DoNotOptimize(text);
  }
  ReportConversion(state, bytes);
}

// ICU's converter, into a string of the size it asks for (as a caller
// without a bound would).
std::u16string IcuUtf8ToUtf16(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(text.data(), static_cast<int32_t>(text.size()), &length, bytes.data(),
                       static_cast<int32_t>(bytes.size()), 0xFFFD, nullptr, &status);
  text.resize(U_FAILURE(status) ? 0 : static_cast<size_t>(length));
  return text;
}

const struct Converter {
  const char* name;
  void (*run)(benchmark::State&, const char*);
} kOurConverter = {"Utf8ToUtf16", BM_Convert<skyvane::Utf8ToUtf16>},
  kPeerConverters[] = {
      {"Utf8ToUtf16_plain", BM_Convert<skyvane::reference::Utf8ToUtf16>},
      {"ICU_u_strFromUTF8WithSub", BM_Convert<IcuUtf8ToUtf16>},
};

constexpr const char* kOurs = "ReadJson";
constexpr const char* kOursFromBytes = "ReadJsonFromBytes";
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
    benchmark::RegisterBenchmark(NameOf(kOursFromBytes, document).c_str(), BM_ReadJsonFromBytes,
                                 document)
        ->Unit(benchmark::kMillisecond);
    reporter.AddTimeRatio(std::string("end to end ") + kOursFromBytes + " / RapidJSON, " + document,
                          NameOf("RapidJSON", document), NameOf(kOursFromBytes, document));
  }
  for (const char* text : kTexts) {
    benchmark::RegisterBenchmark(NameOf(kOurConverter.name, text).c_str(), kOurConverter.run, text)
        ->Unit(benchmark::kMicrosecond);
    for (const Converter& peer : kPeerConverters) {
      benchmark::RegisterBenchmark(NameOf(peer.name, text).c_str(), peer.run, text)
          ->Unit(benchmark::kMicrosecond);
      reporter.AddTimeRatio(
          std::string("speed ") + kOurConverter.name + " / " + peer.name + ", " + text,
          NameOf(peer.name, text), NameOf(kOurConverter.name, text));
    }
  }
  reporter.ShowCounter("held_MiB");
  reporter.ShowCounter("MB_per_s");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
