#include "text/string_builder.h"

#include <algorithm>
#include <cassert>
#include <functional>
#include <limits>
#include <new>
#include <utility>

#include "text/run_error.h"
#include "text/text_case.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace skyvane {
namespace {

constexpr int32_t kBytesPerChar = cStringBuilder::kBytesPerChar;
constexpr int64_t kMaxBytes = std::numeric_limits<int32_t>::max();
// The storage grows by this factor when it must be replaced, so that a long
// run of appends copies each character a bounded number of times.
constexpr int64_t kStorageGrowthFactor = 2;
constexpr std::u16string_view kNewLine = u"\r\n";
constexpr auto kNewLineChars = static_cast<int32_t>(kNewLine.size());

int32_t CheckedAdd(int32_t a, int32_t b) {
  int32_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) Raise(ErrorNumber::kOverflow);
  return sum;
}

// A copy of s, for texts that alias storage about to change.
std::u16string CopyOf(std::u16string_view s) {
  try {
    return std::u16string(s);
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory);
  }
}

int32_t CheckedDouble(int32_t a) {
  int32_t product = 0;
  if (__builtin_mul_overflow(a, kBytesPerChar, &product)) Raise(ErrorNumber::kOverflow);
  return product;
}

// The first position p >= from where pattern (not empty) occurs in text, or
// npos. Candidates are screened eight at a time on the pattern's first and
// last unit, which together rule out almost every position in ordinary text;
// only the survivors are compared in full.
size_t FindExact(std::u16string_view text, std::u16string_view pattern, size_t from) {
  const size_t m = pattern.size();
  if (from > text.size() || m > text.size() - from) return std::u16string_view::npos;
  const size_t last_start = text.size() - m;
  const char16_t* data = text.data();
  size_t p = from;
#if defined(__SSE2__)
  constexpr size_t kLanes = sizeof(__m128i) / sizeof(char16_t);
  const __m128i first = _mm_set1_epi16(static_cast<int16_t>(pattern.front()));
  const __m128i last = _mm_set1_epi16(static_cast<int16_t>(pattern.back()));
  for (; p + kLanes - 1 <= last_start; p += kLanes) {
    const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + p));
    const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + p + m - 1));
    const __m128i hits = _mm_and_si128(_mm_cmpeq_epi16(heads, first), _mm_cmpeq_epi16(tails, last));
    // Two mask bits per 16-bit lane.
    auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    while (mask != 0) {
      const size_t lane = static_cast<size_t>(__builtin_ctz(mask)) / sizeof(char16_t);
      if (std::memcmp(data + p + lane, pattern.data(), m * sizeof(char16_t)) == 0) return p + lane;
      mask &= mask - 1;
      mask &= mask - 1;
    }
  }
#endif
  return text.find(pattern, p);
}

}  // namespace

cStringBuilder::cStringBuilder() = default;
cStringBuilder::~cStringBuilder() = default;

cStringBuilder::cStringBuilder(cStringBuilder&& other) noexcept
    : sBuffer(std::move(other.sBuffer)),
      lReservedChars(std::exchange(other.lReservedChars, 0)),
      lChunkBytes(other.lChunkBytes),
      lUsedBytes(std::exchange(other.lUsedBytes, 0)),
      lCapacityBytes(std::exchange(other.lCapacityBytes, 0)) {}

cStringBuilder& cStringBuilder::operator=(cStringBuilder&& other) noexcept {
  if (this != &other) {
    sBuffer = std::move(other.sBuffer);
    lReservedChars = std::exchange(other.lReservedChars, 0);
    lChunkBytes = other.lChunkBytes;
    lUsedBytes = std::exchange(other.lUsedBytes, 0);
    lCapacityBytes = std::exchange(other.lCapacityBytes, 0);
  }
  return *this;
}

void cStringBuilder::ChunkSize(int32_t iChunkSize) {
  if (iChunkSize <= 0) Raise(ErrorNumber::kInvalidArgument);
  lChunkBytes = CheckedDouble(iChunkSize);
}

std::u16string cStringBuilder::toString() const {
  if (lUsedBytes <= 0) return {};
  return CopyOf(View());
}

void cStringBuilder::TheString(std::u16string_view sThis) {
  const int32_t len = ByteLength(sThis);
  if (len == 0) {
    Clear();
    return;
  }
  const int32_t new_capacity = GrownCapacity(len);
  if (new_capacity / kBytesPerChar > lReservedChars) {
    if (Aliases(sThis)) {
      TheString(CopyOf(sThis));
      return;
    }
    // The old text is overwritten anyway, so it need not be carried over.
    Reserve(new_capacity / kBytesPerChar, /*keep_text=*/false);
  }
  std::memmove(OffsetAddress(0), sThis.data(), static_cast<size_t>(len));
  lCapacityBytes = new_capacity;
  lUsedBytes = len;
  assert(lCapacityBytes / kBytesPerChar <= lReservedChars);
}

void cStringBuilder::Clear() {
  sBuffer.reset();
  lReservedChars = 0;
  lUsedBytes = 0;
  lCapacityBytes = 0;
}

void cStringBuilder::AppendSlow(std::u16string_view sThis) {
  if (sThis.empty()) return;
  const int32_t len = ByteLength(sThis);
  const int32_t need = CheckedAdd(lUsedBytes, len);
  if (Aliases(sThis) && StorageMoves(need)) {
    // Growing would move the storage that sThis points into.
    AppendByVal(CopyOf(sThis));
    return;
  }
  Grow(need);
  std::memmove(OffsetAddress(lUsedBytes), sThis.data(), static_cast<size_t>(len));
  lUsedBytes = need;
}

void cStringBuilder::AppendNL(std::u16string_view sThis) {
  const int32_t len = ByteLength(sThis);
  const int32_t need = CheckedAdd(CheckedAdd(lUsedBytes, len), kNewLineChars * kBytesPerChar);
  if (Aliases(sThis) && StorageMoves(need)) {
    AppendNL(CopyOf(sThis));
    return;
  }
  Grow(need);
  // An empty view may carry no address at all, which memmove must not see.
  if (len > 0) std::memmove(OffsetAddress(lUsedBytes), sThis.data(), static_cast<size_t>(len));
  std::memcpy(OffsetAddress(lUsedBytes + len), kNewLine.data(), kNewLineChars * kBytesPerChar);
  lUsedBytes = need;
}

void cStringBuilder::AppendByVal(std::u16string sThis) {
  // sThis is our own copy, so it cannot move under the growth.
  const int32_t len = ByteLength(sThis);
  if (len == 0) return;
  const int32_t need = CheckedAdd(lUsedBytes, len);
  Grow(need);
  std::memcpy(OffsetAddress(lUsedBytes), sThis.data(), static_cast<size_t>(len));
  lUsedBytes = need;
}

void cStringBuilder::Insert(int32_t iIndex, std::u16string_view sThis) {
  if (iIndex < 0) Raise(ErrorNumber::kSubscriptOutOfRange);
  const int32_t index_bytes = CheckedDouble(iIndex);
  if (index_bytes > lUsedBytes) Raise(ErrorNumber::kSubscriptOutOfRange);
  const int32_t len = ByteLength(sThis);
  if (len == 0) return;
  const int32_t need = CheckedAdd(lUsedBytes, len);
  if (Aliases(sThis)) {
    // Moving the tail (or the storage) would overwrite what sThis shows.
    Insert(iIndex, CopyOf(sThis));
    return;
  }
  Grow(need);
  char16_t* p = OffsetAddress(index_bytes);
  std::memmove(OffsetAddress(index_bytes + len), p, static_cast<size_t>(lUsedBytes - index_bytes));
  std::memcpy(p, sThis.data(), static_cast<size_t>(len));
  lUsedBytes = need;
}

void cStringBuilder::InsertByVal(int32_t iIndex, std::u16string sThis) {
  Insert(iIndex, sThis);
}

void cStringBuilder::Remove(int32_t iIndex, int32_t lLen) {
  if (iIndex < 0 || lLen < 0) Raise(ErrorNumber::kSubscriptOutOfRange);
  const int32_t index_bytes = CheckedDouble(iIndex);
  if (index_bytes > lUsedBytes) Raise(ErrorNumber::kSubscriptOutOfRange);
  const int32_t end_bytes = CheckedDouble(CheckedAdd(iIndex, lLen));
  if (end_bytes > lUsedBytes) Raise(ErrorNumber::kSubscriptOutOfRange);
  if (lLen == 0) return;
  std::memmove(OffsetAddress(index_bytes), OffsetAddress(end_bytes),
               static_cast<size_t>(lUsedBytes - end_bytes));
  lUsedBytes -= end_bytes - index_bytes;
}

int32_t cStringBuilder::Find(std::u16string_view sToFind, int32_t lStartIndex,
                             int32_t compare) const {
  if (compare != kBinaryCompare && compare != kTextCompare) Raise(ErrorNumber::kInvalidArgument);
  const int32_t start = lStartIndex > 0 ? lStartIndex : 1;
  if (start > Length()) return 0;
  if (sToFind.empty()) return start;
  const std::u16string_view text = View();
  const size_t from = static_cast<size_t>(start - 1);
  const size_t found = compare == kBinaryCompare ? FindExact(text, sToFind, from)
                                                 : FindIgnoreCase(text, sToFind, from);
  return found == std::u16string_view::npos ? 0 : static_cast<int32_t>(found) + 1;
}

void cStringBuilder::HeapMinimize() {
  const int32_t spare = lCapacityBytes - lUsedBytes;
  if (spare > lChunkBytes) {
    // The number of whole chunks to drop so that the spare room ends at most
    // one chunk but stays above zero.
    const int32_t chunks = (spare - 1) / lChunkBytes;
    lCapacityBytes -= chunks * lChunkBytes;
  }
  const int32_t capacity_chars = lCapacityBytes / kBytesPerChar;
  if (capacity_chars == 0) {
    Clear();
  } else if (lReservedChars > capacity_chars) {
    // Shrinking in place may still fail; the larger storage then stays, which
    // no member can tell apart.
    void* smaller =
        std::realloc(sBuffer.get(), static_cast<size_t>(capacity_chars) * sizeof(char16_t));
    if (smaller != nullptr) {
      (void)sBuffer.release();
      sBuffer.reset(static_cast<char16_t*>(smaller));
      lReservedChars = capacity_chars;
    }
  }
}

int32_t cStringBuilder::ByteLength(std::u16string_view s) {
  if (s.size() > static_cast<size_t>(kMaxChars)) Raise(ErrorNumber::kOverflow);
  return static_cast<int32_t>(s.size()) * kBytesPerChar;
}

char16_t* cStringBuilder::OffsetAddress(int32_t lOffset) const {
  return sBuffer.get() + lOffset / kBytesPerChar;
}

bool cStringBuilder::Aliases(std::u16string_view s) const {
  if (sBuffer == nullptr || s.empty()) return false;
  const std::less<const char16_t*> before;
  const char16_t* begin = sBuffer.get();
  const char16_t* end = begin + lReservedChars;
  return before(s.data(), end) && before(begin, s.data() + s.size());
}

int32_t cStringBuilder::GrownCapacity(int32_t lNeedBytes) const {
  if (lNeedBytes <= lCapacityBytes) return lCapacityBytes;
  // The fewest whole chunks that cover the need; growing one chunk at a time
  // overflows exactly when the final sum does, since every earlier step stays
  // below the need.
  const int64_t shortfall = int64_t{lNeedBytes} - lCapacityBytes;
  const int64_t chunks = (shortfall + lChunkBytes - 1) / lChunkBytes;
  const int64_t capacity = lCapacityBytes + chunks * lChunkBytes;
  if (capacity > kMaxBytes) Raise(ErrorNumber::kOverflow);
  return static_cast<int32_t>(capacity);
}

bool cStringBuilder::StorageMoves(int32_t lNeedBytes) const {
  return GrownCapacity(lNeedBytes) / kBytesPerChar > lReservedChars;
}

void cStringBuilder::Grow(int32_t lNeedBytes) {
  const int32_t capacity = GrownCapacity(lNeedBytes);
  if (capacity == lCapacityBytes) return;
  Reserve(capacity / kBytesPerChar, /*keep_text=*/true);
  lCapacityBytes = capacity;
  assert(lCapacityBytes / kBytesPerChar <= lReservedChars);
}

void cStringBuilder::Reserve(int32_t lCapacityChars, bool keep_text) {
  if (lCapacityChars <= lReservedChars) return;
  const int32_t generous = static_cast<int32_t>(
      std::min<int64_t>(kMaxChars, int64_t{lReservedChars} * kStorageGrowthFactor));
  // Try the geometric size first, then exactly what the capacity needs.
  for (const int32_t chars : {std::max(lCapacityChars, generous), lCapacityChars}) {
    const size_t bytes = static_cast<size_t>(chars) * sizeof(char16_t);
    void* storage = nullptr;
    if (keep_text) {
      // realloc keeps the old block when it fails, and can often extend or
      // remap a large block without copying it.
      storage = std::realloc(sBuffer.get(), bytes);
      if (storage != nullptr) (void)sBuffer.release();
    } else {
      storage = std::malloc(bytes);
    }
    if (storage != nullptr) {
      sBuffer.reset(static_cast<char16_t*>(storage));
      lReservedChars = chars;
      return;
    }
  }
  Raise(ErrorNumber::kOutOfMemory);
}

}  // namespace skyvane
