// DictionaryKey: a key as a Dictionary entry holds it.
//
// Sixteen bytes. A key of up to kShortUnits code units is held inline; a
// longer one in a block of its own, owned by the key alone (keys are moved,
// never copied, so nothing else needs to count its holders), cut from the
// parse's arena while a reader builds the entry and from the heap
// otherwise.
//
// The first eight bytes of every key hold its length and its first code
// units, laid out so that equal keys have equal words there: Sketch(),
// compared before the texts, tells most different keys apart at the cost
// of one integer comparison. Not thread-safe.
#ifndef SKYVANE_JSON_DICTIONARY_KEY_H_
#define SKYVANE_JSON_DICTIONARY_KEY_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "json/json_value.h"

namespace skyvane {

class DictionaryKey {
 public:
  static constexpr std::size_t kShortUnits = 7;

  // Raises kOutOfMemory when a long key's block cannot be had, kOverflow for
  // a key of more than 2^32 − 1 code units.
  explicit DictionaryKey(std::u16string_view text);
  // Leaves `other` the empty key.
  DictionaryKey(DictionaryKey&& other) noexcept {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    other.SetShort(0);
  }
  DictionaryKey& operator=(DictionaryKey&& other) noexcept {
    if (this != &other) {
      Free();
      std::memcpy(bytes_, other.bytes_, sizeof bytes_);
      other.SetShort(0);
    }
    return *this;
  }
  DictionaryKey(const DictionaryKey&) = delete;
  DictionaryKey& operator=(const DictionaryKey&) = delete;
  ~DictionaryKey() { Free(); }

  JsonText View() const noexcept {
    if (short_.tag == kTagShort) return std::u16string_view(short_.units, short_.length);
    return std::u16string_view(LongUnits(), long_.length);
  }
  operator std::u16string_view() const noexcept { return View(); }
  operator std::u16string() const { return View(); }
  friend bool operator==(const DictionaryKey& key, std::u16string_view text) noexcept {
    return key.View() == text;
  }

  // The first eight bytes as a word: the same for equal keys.
  uint64_t Sketch() const noexcept {
    uint64_t word;
    std::memcpy(&word, bytes_, sizeof word);
    return word;
  }
  // The Sketch() a key of `text` has.
  static uint64_t SketchOf(std::u16string_view text) noexcept;
  // True when this key is `text`, whose SketchOf is `sketch`.
  bool Is(std::u16string_view text, uint64_t sketch) const noexcept {
    return Sketch() == sketch && View() == text;
  }

 private:
  enum Tag : uint8_t { kTagShort = 1, kTagLong = 2 };
  struct Short {
    uint8_t tag;
    uint8_t length;
    char16_t units[kShortUnits];
  };
  // The block's address with kInArena set in its lowest bit (the address
  // of char16_t units is even) when it came from a ParseArena.
  struct Long {
    uint8_t tag;
    uint8_t unused;
    char16_t first;
    uint32_t length;
    uintptr_t units;
  };
  static constexpr uintptr_t kInArena = 1;

  void SetShort(std::size_t length) noexcept {
    std::memset(bytes_, 0, sizeof bytes_);
    short_.tag = kTagShort;
    short_.length = static_cast<uint8_t>(length);
  }
  const char16_t* LongUnits() const noexcept {
    return reinterpret_cast<const char16_t*>(long_.units & ~kInArena);
  }
  void Free() noexcept;

  union {
    unsigned char bytes_[16];
    Short short_;
    Long long_;
  };
};

static_assert(sizeof(DictionaryKey) == 16);

}  // namespace skyvane

#endif  // SKYVANE_JSON_DICTIONARY_KEY_H_
