#include "json/dictionary_key.h"

#include <algorithm>
#include <limits>
#include <new>

#include "json/parse_arena.h"
#include "text/run_error.h"

namespace skyvane {

DictionaryKey::DictionaryKey(std::u16string_view text) {
  if (text.size() <= kShortUnits) {
    SetShort(text.size());
    if (!text.empty()) std::memcpy(short_.units, text.data(), text.size() * sizeof(char16_t));
    return;
  }
  if (text.size() > std::numeric_limits<uint32_t>::max()) {
    Raise(ErrorNumber::kOverflow, "Key too long for a Dictionary");
  }
  internal::Block block;
  try {
    block = internal::AllocateTextBlock(text.size() * sizeof(char16_t));
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory holding a key");
  }
  std::memcpy(block.address, text.data(), text.size() * sizeof(char16_t));
  std::memset(bytes_, 0, sizeof bytes_);
  long_.tag = kTagLong;
  long_.first = text.front();
  long_.length = static_cast<uint32_t>(text.size());
  long_.units = reinterpret_cast<uintptr_t>(block.address) | (block.in_arena ? kInArena : 0);
}

uint64_t DictionaryKey::SketchOf(std::u16string_view text) noexcept {
  unsigned char bytes[sizeof(uint64_t)] = {};
  if (text.size() <= kShortUnits) {
    Short head{};
    head.tag = kTagShort;
    head.length = static_cast<uint8_t>(text.size());
    const std::size_t units_in_word = (sizeof bytes - offsetof(Short, units)) / sizeof(char16_t);
    std::copy_n(text.data(), std::min(text.size(), units_in_word), head.units);
    std::memcpy(bytes, &head, sizeof bytes);
  } else {
    Long head{};
    head.tag = kTagLong;
    head.first = text.front();
    head.length = static_cast<uint32_t>(text.size());
    std::memcpy(bytes, &head, sizeof bytes);
  }
  uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

void DictionaryKey::Free() noexcept {
  if (short_.tag != kTagLong) return;
  internal::FreeBlock(
      internal::Block{const_cast<char16_t*>(LongUnits()), (long_.units & kInArena) != 0});
}

}  // namespace skyvane
