// cStringBuilder: a UTF-16 text buffer that grows by whole chunks.
//
// The text sits at the front of a buffer whose logical length, Capacity(),
// is always a whole number of chunks of the chunk size in force when it grew
// (or 0). Appending writes into the spare room; only when the spare room is
// too small does Capacity() grow, by the fewest whole chunks that make room.
// Capacity() never doubles. The storage underneath may reserve more than
// Capacity() (it grows geometrically) so that a long run of appends does not
// copy the whole text at every chunk boundary; that reserve is never visible
// through any member. The spare room, logical or reserved, is never read and
// never shown: every result comes from the first Length() characters only.
//
// Positions: Insert and Remove take 0-based character indexes, Find returns
// a 1-based position (0 for "not found").
//
// Errors (all RunError, raised before anything changes):
//   kSubscriptOutOfRange (9): an index or length outside the text, negative
//     ones included.
//   kOverflow (6): a byte count (characters × 2) that leaves the 32-bit
//     signed range, e.g. ChunkSize(1073741824), Insert/Remove at an index of
//     2^30 or more, or a text that would pass 1073741823 characters.
//   kInvalidArgument (5): ChunkSize() set to 0 or less; a Find comparison
//     other than kBinaryCompare or kTextCompare.
//   kOutOfMemory (7): the memory for a larger buffer could not be had; the
//     builder keeps its text, length and capacity.
//
// Texts passed in may be views of the builder's own text; every member reads
// them before it overwrites or releases anything they point into.
//
// Not thread-safe; one owner at a time.
#ifndef SKYVANE_TEXT_STRING_BUILDER_H_
#define SKYVANE_TEXT_STRING_BUILDER_H_

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace skyvane {

class cStringBuilder {
 public:
  // Find comparisons.
  static constexpr int32_t kBinaryCompare = 0;  // exact code units
  static constexpr int32_t kTextCompare = 1;    // locale-aware, ignoring case
  // The chunk of a new builder, in characters.
  static constexpr int32_t kDefaultChunkChars = 8192;
  // Bytes one character (a UTF-16 code unit) counts for in the byte counts.
  static constexpr int32_t kBytesPerChar = static_cast<int32_t>(sizeof(char16_t));
  // The longest text a builder can hold: the most characters whose byte
  // count stays within the 32-bit signed range (1073741823).
  static constexpr int32_t kMaxChars = INT32_MAX / kBytesPerChar;

  // A new builder: Length 0, Capacity 0, ChunkSize kDefaultChunkChars.
  cStringBuilder();
  ~cStringBuilder();
  cStringBuilder(const cStringBuilder&) = delete;
  cStringBuilder& operator=(const cStringBuilder&) = delete;
  // Moving takes the text and chunk size; the source is left empty
  // (Capacity 0) with its chunk size.
  cStringBuilder(cStringBuilder&& other) noexcept;
  cStringBuilder& operator=(cStringBuilder&& other) noexcept;

  // Characters in the text.
  int32_t Length() const { return lUsedBytes / kBytesPerChar; }
  // The buffer's logical length in characters: a whole number of chunks, or 0.
  int32_t Capacity() const { return lCapacityBytes / kBytesPerChar; }
  // The growth step in characters.
  int32_t ChunkSize() const { return lChunkBytes / kBytesPerChar; }
  // Sets the growth step for the next growth or HeapMinimize; the buffer is
  // not touched. Raises kInvalidArgument for iChunkSize <= 0 and kOverflow
  // for iChunkSize >= 2^30; the old chunk size stays on either.
  void ChunkSize(int32_t iChunkSize);

  // A copy of the text.
  std::u16string toString() const;
  // A view of the text, valid until the next change of the builder.
  std::u16string_view View() const {
    return {sBuffer.get(), static_cast<size_t>(lUsedBytes / kBytesPerChar)};
  }

  // Replaces the whole text by sThis. The empty text acts as Clear;
  // otherwise the capacity grows as for Append and never shrinks.
  void TheString(std::u16string_view sThis);
  // Empties the text and releases the buffer (Capacity 0); the chunk size stays.
  void Clear();

  // Appends sThis. The hot path (it fits) is inline: one move, no allocation.
  // The empty text changes nothing.
  void Append(std::u16string_view sThis) {
    // size - 1 wraps for the empty text, which the slow path turns away.
    if (sThis.size() - 1 < SpareChars()) {
      char16_t* destination = sBuffer.get() + lUsedBytes / kBytesPerChar;
      if (sThis.size() == 1) {
        *destination = sThis.front();
      } else {
        std::memmove(destination, sThis.data(), sThis.size() * sizeof(char16_t));
      }
      lUsedBytes += static_cast<int32_t>(sThis.size() * sizeof(char16_t));
    } else {
      AppendSlow(sThis);
    }
  }
  // Appends one code unit.
  void Append(char16_t c) {
    if (lUsedBytes < lCapacityBytes) {
      sBuffer.get()[lUsedBytes / kBytesPerChar] = c;
      lUsedBytes += kBytesPerChar;
    } else {
      AppendSlow(std::u16string_view(&c, 1));
    }
  }
  // Appends sThis and then CR LF, all or nothing.
  void AppendNL(std::u16string_view sThis);
  // Append of the builder's own copy of sThis.
  void AppendByVal(std::u16string sThis);

  // Inserts sThis before character iIndex (0 <= iIndex <= Length()).
  void Insert(int32_t iIndex, std::u16string_view sThis);
  void InsertByVal(int32_t iIndex, std::u16string sThis);
  // Removes lLen characters from character iIndex (both >= 0, the run inside
  // the text). The capacity stays.
  void Remove(int32_t iIndex, int32_t lLen);

  // 1-based position of the first sToFind at or after lStartIndex (values
  // below 1 mean 1), or 0. An empty sToFind yields the start when it lies in
  // 1..Length(). kTextCompare compares case-insensitively with ICU's
  // locale-aware comparison of whole code-unit runs of sToFind's length
  // (see FindIgnoreCase in text/text_case.h). Raises kInvalidArgument for any
  // other compare value.
  int32_t Find(std::u16string_view sToFind, int32_t lStartIndex = 0,
               int32_t compare = kBinaryCompare) const;

  // Lowers the capacity by whole chunks until the spare room is at most one
  // chunk; spare room of exactly one chunk stays. Also hands back any
  // storage reserved beyond the capacity. Never raises.
  void HeapMinimize();

 private:
  struct FreeStorage {
    void operator()(char16_t* p) const noexcept { std::free(p); }
  };

  size_t SpareChars() const {
    return static_cast<size_t>(lCapacityBytes - lUsedBytes) / kBytesPerChar;
  }
  // The text's length in bytes; raises kOverflow past the 32-bit range.
  static int32_t ByteLength(std::u16string_view s);
  // The character lOffset bytes into the storage; offsets are never negative
  // and never pass the reserved storage.
  char16_t* OffsetAddress(int32_t lOffset) const;
  // True when s points into this builder's storage.
  bool Aliases(std::u16string_view s) const;
  void AppendSlow(std::u16string_view sThis);
  // The capacity in bytes that covers lNeedBytes by whole chunks; raises
  // kOverflow when a step leaves the 32-bit range.
  int32_t GrownCapacity(int32_t lNeedBytes) const;
  // True when covering lNeedBytes needs new storage, which may move the text.
  bool StorageMoves(int32_t lNeedBytes) const;
  // Makes Capacity() cover lNeedBytes, keeping the text; may raise kOverflow
  // or kOutOfMemory before anything changes.
  void Grow(int32_t lNeedBytes);
  // Makes the storage hold at least lCapacityChars characters, keeping the
  // text when keep_text is set; raises kOutOfMemory and changes nothing when
  // no memory can be had.
  void Reserve(int32_t lCapacityChars, bool keep_text);

  std::unique_ptr<char16_t, FreeStorage> sBuffer;  // lReservedChars units
  int32_t lReservedChars = 0;                      // characters allocated in sBuffer
  int32_t lChunkBytes = kDefaultChunkChars * kBytesPerChar;
  int32_t lUsedBytes = 0;
  int32_t lCapacityBytes = 0;
};

}  // namespace skyvane

#endif  // SKYVANE_TEXT_STRING_BUILDER_H_
