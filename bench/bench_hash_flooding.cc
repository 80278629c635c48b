// Reading objects of 40,000 members whose keys were chosen to collide in a
// Dictionary's index, against the same object with random keys of the same
// length:
//   - keys that collide under an unkeyed FNV-1a word hash, the kind of
//     function an attacker can invert;
//   - keys whose keyed hash under the process seed, which this benchmark
//     knows, share their low kSharedLowBits bits: all of them start at one
//     slot in every index up to 2^kSharedLowBits slots.
// Each object is one JSON text read by ReadJson; the ratios printed at the
// end are crafted / random in CPU time, 1 when the crafting buys nothing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "json/dictionary.h"
#include "json/json_reader.h"
#include "json/key_hash.h"
#include "tests/json/colliding_keys.h"

namespace {

constexpr size_t kMembers = 40000;
constexpr int kSharedLowBits = 12;

// {"key":1,"key":1,...} over `keys`.
std::u16string ObjectOf(const std::vector<std::u16string>& keys) {
  std::u16string text = u"{";
  for (const std::u16string& key : keys) {
    if (text.size() > 1) text += u',';
    text += u'"';
    text += key;
    text += u"\":1";
  }
  text += u'}';
  return text;
}

void BM_ReadObject(benchmark::State& state, const std::u16string* text) {
  for (auto _ : state) {
    skyvane::JsonValue root = skyvane::ReadJson(*text);
    benchmark::DoNotOptimize(root);
    state.PauseTiming();
    const bool whole =
        root.IsDictionary() && root.DictionaryOrNull()->Count() == static_cast<int32_t>(kMembers);
    if (!whole || !skyvane::ErrorLog().empty()) state.SkipWithError("the object did not read");
    root = skyvane::JsonValue();
    state.ResumeTiming();
  }
}

}  // namespace

int main(int argc, char** argv) {
  namespace keys = skyvane::colliding_keys;
  std::fprintf(stderr, "bench_hash_flooding: crafting %zu keys of each kind...\n", kMembers);
  static const std::u16string random_keys = ObjectOf(keys::RandomKeys(kMembers));
  static const std::u16string unkeyed_keys = ObjectOf(keys::KeysCollidingUnderFnv(kMembers));
  static const std::u16string seeded_keys = ObjectOf(
      keys::KeysCollidingUnderSeed(kMembers, kSharedLowBits, skyvane::ProcessKeyHashSeed()));

  std::vector<char*> args = skyvane::bench::WithDefaultFlags(
      argc, argv, {"--benchmark_repetitions=10", "--benchmark_enable_random_interleaving=true"});
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  const struct {
    const char* name;
    const std::u16string* text;
  } objects[] = {{"HashFlooding/random_keys", &random_keys},
                 {"HashFlooding/crafted_unkeyed_fnv", &unkeyed_keys},
                 {"HashFlooding/crafted_known_seed", &seeded_keys}};
  for (const auto& object : objects) {
    benchmark::RegisterBenchmark(object.name, BM_ReadObject, object.text)
        ->Unit(benchmark::kMillisecond);
  }
  skyvane::bench::RatioReporter reporter;
  reporter.AddTimeRatio("crafted against an unkeyed hash / random",
                        "HashFlooding/crafted_unkeyed_fnv", "HashFlooding/random_keys");
  reporter.AddTimeRatio("crafted against the known seed / random",
                        "HashFlooding/crafted_known_seed", "HashFlooding/random_keys");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
