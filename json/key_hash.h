// The hash of Dictionary keys: SipHash-1-3, keyed by a seed.
//
// The seed is what keeps a hostile document from choosing keys that all
// land on one slot of a Dictionary's index: without it the keys cannot be
// aimed. ProcessKeyHashSeed is drawn from the operating system's random
// source once per process; FreshKeyHashSeed draws a new one each call, for
// an index that finds its keys clustered under the seed it has (the process
// seed may have leaked, or been guessed).
//
// The hash covers the key's code units exactly (NUL and lone surrogates
// included) and is stable within a process; it is never stored or sent
// anywhere, so its value across processes or machines does not matter.
// Thread-safe.
#ifndef SKYVANE_JSON_KEY_HASH_H_
#define SKYVANE_JSON_KEY_HASH_H_

#include <cstdint>
#include <string_view>

namespace skyvane {

struct KeyHashSeed {
  uint64_t k0 = 0;
  uint64_t k1 = 0;
  friend bool operator==(const KeyHashSeed&, const KeyHashSeed&) = default;
};

// The seed every index starts with; the same for the whole process.
const KeyHashSeed& ProcessKeyHashSeed();

// A new random seed, drawn from the operating system's random source (or
// from std::random_device when that fails) at each call.
KeyHashSeed FreshKeyHashSeed();

// SipHash-1-3 of the key's code units under `seed`.
uint64_t HashKey(std::u16string_view key, const KeyHashSeed& seed);

}  // namespace skyvane

#endif  // SKYVANE_JSON_KEY_HASH_H_
