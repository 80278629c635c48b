#include "json/dictionary_key.h"

#include <limits>
#include <new>

#include "json/parse_arena.h"
#include "text/run_error.h"

namespace skyvane {

void DictionaryKey::SetLong(std::u16string_view text) {
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
  const uint64_t head = SketchOf(text);
  std::memcpy(bytes_, &head, sizeof head);
  long_.units = reinterpret_cast<uintptr_t>(block.address) | (block.in_arena ? kInArena : 0);
}

void DictionaryKey::Free() noexcept {
  internal::FreeBlock(
      internal::Block{const_cast<char16_t*>(LongUnits()), (long_.units & kInArena) != 0});
}

}  // namespace skyvane
