// Sets of Dictionary keys for the hash-flooding tests and benchmark: keys of
// one length that are random, that collide under an unkeyed FNV-1a word
// hash (the kind of function an attacker can invert), or that collide in
// the low bits of HashKey under a seed the attacker knows.
//
// Every key is valid UTF-16 text that a JSON object can carry as a plain
// double-quoted key: no surrogates, no controls, and none of the characters
// that end or reshape a key (quotes, colon, blanks). Each set is free of
// duplicates and the same for the same arguments.
#ifndef SKYVANE_TESTS_JSON_COLLIDING_KEYS_H_
#define SKYVANE_TESTS_JSON_COLLIDING_KEYS_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "json/key_hash.h"

namespace skyvane::colliding_keys {

inline constexpr size_t kUnitsPerWord = sizeof(uint64_t) / sizeof(char16_t);
// Keys are two random words and one word chosen to collide.
inline constexpr size_t kKeyLength = 3 * kUnitsPerWord;

inline bool UsableInKey(char16_t c) {
  constexpr char16_t kFirstPrintable = u' ' + 1;
  constexpr char16_t kLastUsable = 0xFFFD;
  if (c < kFirstPrintable || c > kLastUsable) return false;
  if (c >= 0xD800 && c <= 0xDFFF) return false;  // surrogates
  return c != u'"' && c != u'\'' && c != u':';
}

// Random printable ASCII keys, `length` code units each.
class KeyMaker {
 public:
  explicit KeyMaker(uint32_t seed) : random_(seed) {}
  std::u16string Printable(size_t length) {
    constexpr char16_t kFirst = u'!';
    constexpr char16_t kLast = u'~';
    std::uniform_int_distribution<int> unit(kFirst, kLast);
    std::u16string key(length, u' ');
    for (char16_t& c : key) {
      do {
        c = static_cast<char16_t>(unit(random_));
      } while (!UsableInKey(c));
    }
    return key;
  }

 private:
  std::mt19937 random_;
};

// Keeps only keys not seen before.
inline bool AddIfNew(std::unordered_set<std::u16string>& seen, std::vector<std::u16string>& keys,
                     std::u16string key) {
  if (!seen.insert(key).second) return false;
  keys.push_back(std::move(key));
  return true;
}

inline std::vector<std::u16string> RandomKeys(size_t count, uint32_t seed = 1) {
  KeyMaker maker(seed);
  std::unordered_set<std::u16string> seen;
  std::vector<std::u16string> keys;
  while (keys.size() < count) AddIfNew(seen, keys, maker.Printable(kKeyLength));
  return keys;
}

// An unkeyed hash of the FNV-1a kind over 64-bit words: each step
// h = (h ^ word) * prime is a bijection, so the last word of a key can be
// solved for any state wanted. (Whatever avalanche follows is a bijection
// too and changes nothing: equal states give equal hashes.)
inline constexpr uint64_t kFnvOffset = 14695981039346656037u;
inline constexpr uint64_t kFnvPrime = 1099511628211u;

inline uint64_t FnvWordStep(uint64_t h, uint64_t word) {
  return (h ^ word) * kFnvPrime;
}

inline uint64_t Word(const char16_t* units) {
  uint64_t word;
  std::memcpy(&word, units, sizeof word);
  return word;
}

// The FNV word state after the whole words of `key`.
inline uint64_t FnvState(std::u16string_view key) {
  uint64_t h = kFnvOffset;
  for (size_t i = 0; i + kUnitsPerWord <= key.size(); i += kUnitsPerWord) {
    h = FnvWordStep(h, Word(key.data() + i));
  }
  return h;
}

// Keys whose FNV word states after all three words are equal.
inline std::vector<std::u16string> KeysCollidingUnderFnv(size_t count, uint32_t seed = 2) {
  // The inverse of the (odd) prime modulo 2^64, by Newton's iteration.
  uint64_t inverse = kFnvPrime;
  constexpr int kNewtonSteps = 6;  // each doubles the correct low bits
  for (int i = 0; i < kNewtonSteps; ++i) inverse *= 2 - kFnvPrime * inverse;
  constexpr uint64_t kTargetState = 0x5ca1ab1e0ddba11u;
  KeyMaker maker(seed);
  std::unordered_set<std::u16string> seen;
  std::vector<std::u16string> keys;
  while (keys.size() < count) {
    std::u16string key = maker.Printable(2 * kUnitsPerWord);
    const uint64_t last = (kTargetState * inverse) ^ FnvState(key);
    char16_t units[kUnitsPerWord];
    std::memcpy(units, &last, sizeof last);
    bool usable = true;
    for (char16_t c : units) usable = usable && UsableInKey(c);
    if (!usable) continue;
    key.append(units, kUnitsPerWord);
    AddIfNew(seen, keys, std::move(key));
  }
  return keys;
}

// Keys whose HashKey under `seed` has its low `bits` bits all zero, found by
// trying random keys: about 2^bits tries per key.
inline std::vector<std::u16string> KeysCollidingUnderSeed(size_t count, int bits,
                                                          const KeyHashSeed& seed,
                                                          uint32_t random_seed = 3) {
  const uint64_t mask = (uint64_t{1} << bits) - 1;
  KeyMaker maker(random_seed);
  std::unordered_set<std::u16string> seen;
  std::vector<std::u16string> keys;
  std::u16string key = maker.Printable(kKeyLength);
  while (keys.size() < count) {
    // Only the last word changes between tries.
    const std::u16string tail = maker.Printable(kUnitsPerWord);
    key.replace(kKeyLength - kUnitsPerWord, kUnitsPerWord, tail);
    if ((HashKey(key, seed) & mask) != 0) continue;
    if (AddIfNew(seen, keys, key)) key = maker.Printable(kKeyLength);
  }
  return keys;
}

}  // namespace skyvane::colliding_keys

#endif  // SKYVANE_TESTS_JSON_COLLIDING_KEYS_H_
