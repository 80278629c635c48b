// DictionaryKey: a key as a Dictionary entry holds it.
//
// Sixteen bytes. A key of up to kShortUnits code units is held inline; a
// longer one in a block of its own, owned by the key alone (keys are moved,
// never copied, so nothing else needs to count its holders), cut from the
// parse's arena while a reader builds the entry and from the heap
// otherwise.
//
// The first eight bytes of every key hold its length and its first code
// units (a short key's first three, zero where it has fewer), laid out so
// that equal keys have equal words there: Sketch(), compared before the
// texts, tells most different keys apart at the cost of one integer
// comparison. Not thread-safe.
#ifndef SKYVANE_JSON_DICTIONARY_KEY_H_
#define SKYVANE_JSON_DICTIONARY_KEY_H_

#include <bit>
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
  explicit DictionaryKey(std::u16string_view text) {
    if (text.size() > kShortUnits) {
      SetLong(text);
      return;
    }
    const uint64_t head = SketchOf(text);
    std::memcpy(bytes_, &head, sizeof head);
    if (text.size() > kUnitsInHead) {
      std::memcpy(short_.units + kUnitsInHead, text.data() + kUnitsInHead,
                  (text.size() - kUnitsInHead) * sizeof(char16_t));
    }
  }
  // Leaves `other` the empty key.
  DictionaryKey(DictionaryKey&& other) noexcept {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    other.SetEmpty();
  }
  DictionaryKey& operator=(DictionaryKey&& other) noexcept {
    if (this != &other) {
      if (short_.tag == kTagLong) Free();
      std::memcpy(bytes_, other.bytes_, sizeof bytes_);
      other.SetEmpty();
    }
    return *this;
  }
  DictionaryKey(const DictionaryKey&) = delete;
  DictionaryKey& operator=(const DictionaryKey&) = delete;
  ~DictionaryKey() {
    if (short_.tag == kTagLong) Free();
  }

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
  static uint64_t SketchOf(std::u16string_view text) noexcept {
    const std::size_t length = text.size();
    const char16_t* units = text.data();
    if (length > kShortUnits) {
      return kTagLong | uint64_t{units[0]} << kFirstUnitShift | uint64_t{length} << kLengthShift;
    }
    uint64_t head = kTagShort | uint64_t{length} << kShortLengthShift;
    // The units the head holds, the rest of it zero.
    switch (length) {
      default:
        head |= uint64_t{units[2]} << (kFirstUnitShift + 2 * kUnitBits);
        [[fallthrough]];
      case 2:
        head |= uint64_t{units[1]} << (kFirstUnitShift + kUnitBits);
        [[fallthrough]];
      case 1:
        head |= uint64_t{units[0]} << kFirstUnitShift;
        [[fallthrough]];
      case 0:
        break;
    }
    return head;
  }
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
  // Where the fields of the first eight bytes sit in Sketch()'s word.
  static constexpr int kShortLengthShift = 8 * offsetof(Short, length);
  static constexpr int kFirstUnitShift = 8 * offsetof(Short, units);
  static constexpr int kLengthShift = 8 * offsetof(Long, length);
  static constexpr int kUnitBits = 16;
  static constexpr std::size_t kUnitsInHead = 3;
  static_assert(offsetof(Long, first) == offsetof(Short, units) &&
                offsetof(Short, units) + kUnitsInHead * sizeof(char16_t) == sizeof(uint64_t));
  static_assert(std::endian::native == std::endian::little,
                "Sketch() reads the first bytes as a little-endian word");

  void SetEmpty() noexcept {
    const uint64_t head = kTagShort;
    std::memcpy(bytes_, &head, sizeof head);
  }
  void SetLong(std::u16string_view text);
  const char16_t* LongUnits() const noexcept {
    return reinterpret_cast<const char16_t*>(long_.units & ~kInArena);
  }
  // Frees the block of a long key.
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
