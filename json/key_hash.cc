#include "json/key_hash.h"

#include <highwayhash/sip_hash.h>
#include <sys/random.h>

#include <cstddef>
#include <random>

namespace skyvane {
namespace {

// Fills `seed` from getrandom(2); false when the kernel gave too little.
bool SeedFromKernel(KeyHashSeed& seed) {
  uint64_t words[2];
  std::size_t got = 0;
  char* bytes = reinterpret_cast<char*>(words);
  while (got < sizeof words) {
    const ssize_t n = getrandom(bytes + got, sizeof words - got, 0);
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  seed = KeyHashSeed{words[0], words[1]};
  return true;
}

KeyHashSeed DrawSeed() {
  KeyHashSeed seed;
  if (SeedFromKernel(seed)) return seed;
  std::random_device device;
  constexpr int kBitsPerDraw = 32;
  auto draw64 = [&device] {
    return (static_cast<uint64_t>(device()) << kBitsPerDraw) ^ static_cast<uint64_t>(device());
  };
  seed.k0 = draw64();
  seed.k1 = draw64();
  return seed;
}

}  // namespace

const KeyHashSeed& ProcessKeyHashSeed() {
  static const KeyHashSeed seed = DrawSeed();
  return seed;
}

KeyHashSeed FreshKeyHashSeed() {
  return DrawSeed();
}

uint64_t HashKey(std::u16string_view key, const KeyHashSeed& seed) {
  const highwayhash::SipHash13State::Key sip_key = {seed.k0, seed.k1};
  return highwayhash::SipHash13(sip_key, reinterpret_cast<const char*>(key.data()),
                                key.size() * sizeof(char16_t));
}

}  // namespace skyvane
