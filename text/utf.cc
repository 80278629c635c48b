#include "text/utf.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace skyvane {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

constexpr uint8_t kAsciiEnd = 0x80;
constexpr uint8_t kContinuationLow = 0x80;
constexpr uint8_t kContinuationHigh = 0xBF;
constexpr uint8_t kContinuationPayload = 0x3F;
constexpr int kContinuationBits = 6;

constexpr uint32_t kSurrogatePayload = 0x3FF;

constexpr uint32_t kTwoByteStart = 0x80;
constexpr uint32_t kThreeByteStart = 0x800;

// The well-formed UTF-8 lead bytes, and the range the first continuation
// byte must fall in after each. Every later continuation byte lies in
// kContinuationLow..kContinuationHigh.
constexpr uint8_t kTwoByteLeadFirst = 0xC2;  // C0 and C1 only start overlong forms
constexpr uint8_t kThreeByteLeadFirst = 0xE0;
constexpr uint8_t kFourByteLeadFirst = 0xF0;
constexpr uint8_t kLastLead = 0xF4;           // nothing past U+10FFFF ...
constexpr uint8_t kLastLeadFirstHigh = 0x8F;  // ... which F4 8F BF BF encodes
constexpr uint8_t kThreeByteOverlongLead = 0xE0;
constexpr uint8_t kThreeByteFirstLow = 0xA0;  // E0 80..9F would be overlong
constexpr uint8_t kSurrogateLead = 0xED;
constexpr uint8_t kSurrogateFirstHigh = 0x9F;  // ED A0..BF would be surrogates
constexpr uint8_t kFourByteOverlongLead = 0xF0;
constexpr uint8_t kFourByteFirstLow = 0x90;  // F0 80..8F would be overlong

// Payload bits of the lead byte of a two-, three- and four-byte sequence.
constexpr uint32_t kTwoBytePayload = 0x1F;
constexpr uint32_t kThreeBytePayload = 0x0F;
constexpr uint32_t kFourBytePayload = 0x07;

// Marker bits of the first byte of a two-, three- and four-byte sequence, and
// of every continuation byte.
constexpr uint32_t kTwoByteMark = 0xC0;
constexpr uint32_t kThreeByteMark = 0xE0;
constexpr uint32_t kFourByteMark = 0xF0;
constexpr uint32_t kContinuationMark = 0x80;

void EncodeUtf8(std::string& out, uint32_t cp) {
  if (cp < kTwoByteStart) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < kThreeByteStart) {
    out.push_back(static_cast<char>(kTwoByteMark | (cp >> kContinuationBits)));
  } else if (cp < kSupplementaryStart) {
    out.push_back(static_cast<char>(kThreeByteMark | (cp >> (2 * kContinuationBits))));
    out.push_back(
        static_cast<char>(kContinuationMark | ((cp >> kContinuationBits) & kContinuationPayload)));
  } else {
    out.push_back(static_cast<char>(kFourByteMark | (cp >> (3 * kContinuationBits))));
    out.push_back(static_cast<char>(kContinuationMark |
                                    ((cp >> (2 * kContinuationBits)) & kContinuationPayload)));
    out.push_back(
        static_cast<char>(kContinuationMark | ((cp >> kContinuationBits) & kContinuationPayload)));
  }
  if (cp >= kTwoByteStart) {
    out.push_back(static_cast<char>(kContinuationMark | (cp & kContinuationPayload)));
  }
}

// Bytes widened at once by CopyAscii.
constexpr ptrdiff_t kAsciiBlock = 16;

// Copies the run of ASCII bytes that starts at `s` (which holds one) to `d`,
// both advanced past it; returns the first byte after the run, or `end`.
// `d` must have room for as many units as there are bytes left from `s`: a
// block is stored whole even when it holds non-ASCII bytes, whose units the
// caller then overwrites.
const uint8_t* CopyAscii(const uint8_t* s, const uint8_t* end, char16_t*& d) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  while (end - s >= kAsciiBlock) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_unpacklo_epi8(v, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + kAsciiBlock / 2), _mm_unpackhi_epi8(v, zero));
    const auto high = static_cast<unsigned>(_mm_movemask_epi8(v));
    if (high != 0) {
      const int run = __builtin_ctz(high);
      s += run;
      d += run;
      return s;
    }
    s += kAsciiBlock;
    d += kAsciiBlock;
  }
#else
  // Eight bytes at a time, tested together for a high bit.
  constexpr ptrdiff_t kWord = sizeof(uint64_t);
  constexpr uint64_t kHighBits = 0x8080808080808080;
  while (end - s >= kWord) {
    uint64_t word;
    std::memcpy(&word, s, kWord);
    if ((word & kHighBits) != 0) break;
    for (ptrdiff_t k = 0; k < kWord; ++k) d[k] = s[k];
    s += kWord;
    d += kWord;
  }
#endif
  while (s < end && *s < kAsciiEnd) *d++ = *s++;
  return s;
}

constexpr bool InRange(uint8_t c, uint8_t low, uint8_t high) {
  return static_cast<uint8_t>(c - low) <= static_cast<uint8_t>(high - low);
}

constexpr bool IsContinuation(uint8_t c) {
  return InRange(c, kContinuationLow, kContinuationHigh);
}

// The sizeof(Word) bytes from `s` as an unsigned number, the first byte lowest.
template <typename Word>
Word LoadLittleEndian(const uint8_t* s) {
  Word w;
  std::memcpy(&w, s, sizeof w);
  if constexpr (std::endian::native == std::endian::big) {
    if constexpr (sizeof w == sizeof(uint64_t)) {
      w = __builtin_bswap64(w);
    } else {
      w = __builtin_bswap32(w);
    }
  }
  return w;
}

// Bytes that DecodeFourThreeByte reads.
constexpr ptrdiff_t kFourThreeByte = 12;

// Scripts written mostly in three-byte sequences (CJK ideographs, kana,
// hangul) come in long runs of them: when the twelve bytes at `s` hold four
// well-formed three-byte sequences, they are decoded to d[0..3] and true
// returned; otherwise nothing is written and false returned.
inline bool DecodeFourThreeByte(const uint8_t* s, char16_t* d) {
  // Marker bits of lead, continuation, continuation, lead, ..., byte 0 lowest.
  constexpr uint64_t kFirstMask = 0xC0F0C0C0F0C0C0F0;
  constexpr uint64_t kFirstMarks = 0x80E08080E08080E0;
  constexpr uint32_t kLastMask = 0xC0C0F0C0;
  constexpr uint32_t kLastMarks = 0x8080E080;
  if ((LoadLittleEndian<uint64_t>(s) & kFirstMask) != kFirstMarks ||
      (LoadLittleEndian<uint32_t>(s + sizeof(uint64_t)) & kLastMask) != kLastMarks) {
    return false;
  }
  constexpr uint32_t kSurrogateCount = 0x800;
  uint32_t cp[4];
  bool bad = false;
  for (int k = 0; k < 4; ++k) {
    const uint8_t* seq = s + 3 * k;
    cp[k] = ((seq[0] & kThreeBytePayload) << (2 * kContinuationBits)) |
            ((seq[1] & kContinuationPayload) << kContinuationBits) |
            (seq[2] & kContinuationPayload);
    // Overlong forms and surrogates.
    bad |= (cp[k] < kThreeByteStart) | (cp[k] - kHighSurrogateFirst < kSurrogateCount);
  }
  if (bad) return false;
  for (int k = 0; k < 4; ++k) d[k] = static_cast<char16_t>(cp[k]);
  return true;
}

// The common case of text beyond ASCII: a well-formed two- or three-byte
// sequence at `s`, which must have three bytes readable, is tested at once
// from its bytes' marker bits and then from its value (which rules out
// overlong forms and surrogates), decoded to `d` (advanced) and the byte
// after it returned. Anything else returns `s` for DecodeSequence.
inline const uint8_t* DecodeTwoOrThree(const uint8_t* s, char16_t*& d) {
  const uint32_t w = s[0] | (uint32_t{s[1]} << 8) | (uint32_t{s[2]} << 16);
  constexpr uint32_t kTwoMarkMask = 0xC0E0;
  constexpr uint32_t kTwoMarks = 0x80C0;
  constexpr uint32_t kThreeMarkMask = 0xC0C0F0;
  constexpr uint32_t kThreeMarks = 0x8080E0;
  constexpr int kByte = 8;
  if ((w & kTwoMarkMask) == kTwoMarks) {
    const uint32_t cp =
        ((w & kTwoBytePayload) << kContinuationBits) | ((w >> kByte) & kContinuationPayload);
    if (cp < kTwoByteStart) return s;
    *d++ = static_cast<char16_t>(cp);
    return s + 2;
  }
  if ((w & kThreeMarkMask) == kThreeMarks) {
    const uint32_t cp = ((w & kThreeBytePayload) << (2 * kContinuationBits)) |
                        (((w >> kByte) & kContinuationPayload) << kContinuationBits) |
                        ((w >> (2 * kByte)) & kContinuationPayload);
    constexpr uint32_t kSurrogateCount = 0x800;
    if (cp < kThreeByteStart || cp - kHighSurrogateFirst < kSurrogateCount) return s;
    *d++ = static_cast<char16_t>(cp);
    return s + 3;
  }
  return s;
}

// Decodes the sequence at `s` (whose first byte is not ASCII) into `d`, which
// it advances, and returns the byte after it. A sequence cut short or broken
// becomes one U+FFFD for the bytes read so far (the maximal valid prefix);
// decoding resumes at the offending byte. The lead byte decides the range of
// the first continuation byte, which is what rules out overlong forms,
// surrogates and values past U+10FFFF.
const uint8_t* DecodeSequence(const uint8_t* s, const uint8_t* end, char16_t*& d) {
  const uint8_t b = *s;
  const ptrdiff_t left = end - s;
  if (b < kTwoByteLeadFirst) {  // a stray continuation byte or an overlong lead
    *d++ = kReplacement;
    return s + 1;
  }
  if (b < kThreeByteLeadFirst) {
    if (left >= 2 && IsContinuation(s[1])) {
      *d++ = static_cast<char16_t>(((b & kTwoBytePayload) << kContinuationBits) |
                                   (s[1] & kContinuationPayload));
      return s + 2;
    }
    *d++ = kReplacement;
    return s + 1;
  }
  if (b < kFourByteLeadFirst) {
    const uint8_t low = b == kThreeByteOverlongLead ? kThreeByteFirstLow : kContinuationLow;
    const uint8_t high = b == kSurrogateLead ? kSurrogateFirstHigh : kContinuationHigh;
    if (left < 2 || !InRange(s[1], low, high)) {
      *d++ = kReplacement;
      return s + 1;
    }
    if (left < 3 || !IsContinuation(s[2])) {
      *d++ = kReplacement;
      return s + 2;
    }
    *d++ = static_cast<char16_t>(((b & kThreeBytePayload) << (2 * kContinuationBits)) |
                                 ((s[1] & kContinuationPayload) << kContinuationBits) |
                                 (s[2] & kContinuationPayload));
    return s + 3;
  }
  if (b <= kLastLead) {
    const uint8_t low = b == kFourByteOverlongLead ? kFourByteFirstLow : kContinuationLow;
    const uint8_t high = b == kLastLead ? kLastLeadFirstHigh : kContinuationHigh;
    if (left < 2 || !InRange(s[1], low, high)) {
      *d++ = kReplacement;
      return s + 1;
    }
    if (left < 3 || !IsContinuation(s[2])) {
      *d++ = kReplacement;
      return s + 2;
    }
    if (left < 4 || !IsContinuation(s[3])) {
      *d++ = kReplacement;
      return s + 3;
    }
    const uint32_t cp =
        (((b & kFourBytePayload) << (3 * kContinuationBits)) |
         ((s[1] & kContinuationPayload) << (2 * kContinuationBits)) |
         ((s[2] & kContinuationPayload) << kContinuationBits) | (s[3] & kContinuationPayload)) -
        kSupplementaryStart;
    *d++ = static_cast<char16_t>(kHighSurrogateFirst + (cp >> kSurrogateBits));
    *d++ = static_cast<char16_t>(kLowSurrogateFirst + (cp & kSurrogatePayload));
    return s + 4;
  }
  *d++ = kReplacement;  // F5..FF start no sequence (nor do the old 5- and 6-byte forms)
  return s + 1;
}

// Decodes the bytes from `s` up to `limit` into `d`, which it advances, and
// returns where it stopped: at `limit`, or up to three bytes past it when a
// sequence straddles it. `end` bounds every read.
const uint8_t* DecodeUntil(const uint8_t* s, const uint8_t* limit, const uint8_t* end,
                           char16_t*& d) {
  while (s < limit) {
    if (*s < kAsciiEnd) {
      s = CopyAscii(s, limit, d);
      continue;
    }
    if (end - s >= kFourThreeByte && DecodeFourThreeByte(s, d)) {
      s += kFourThreeByte;
      d += 4;
      continue;
    }
    if (end - s >= 3) {
      const uint8_t* next = DecodeTwoOrThree(s, d);
      if (next != s) {
        s = next;
        continue;
      }
    }
    s = DecodeSequence(s, end, d);
  }
  return s;
}

const uint8_t* BytesOf(std::string_view bytes) {
  return reinterpret_cast<const uint8_t*>(bytes.data());
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view bytes) {
  // No step gives more code units than the bytes it reads (four bytes make a
  // pair, a replacement stands for at least one byte), so the units are
  // written in place, into room for one unit per byte read. That room is
  // made a chunk at a time inside the capacity reserved for the whole, so
  // that text needing far fewer units than bytes (CJK: a third) does not
  // clear, and fault in, memory it never uses.
  constexpr size_t kChunk = size_t{1} << 16;
  // Writes may run this many units past the room for the chunk's bytes
  // (DecodeFourThreeByte writes four units from a step begun before the
  // chunk's end); the capacity has room for them, as writes never pass the
  // room for all the bytes.
  constexpr size_t kSlack = 4;
  const size_t n = bytes.size();
  std::u16string out;
  out.reserve(n + kSlack);
  const uint8_t* s = BytesOf(bytes);
  const uint8_t* const end = s + n;
  size_t written = 0;
  while (s < end) {
    const uint8_t* const limit = static_cast<size_t>(end - s) > kChunk ? s + kChunk : end;
    out.resize(written + static_cast<size_t>(limit - s) + kSlack);
    char16_t* const begin = out.data();
    char16_t* d = begin + written;
    s = DecodeUntil(s, limit, end, d);
    written = static_cast<size_t>(d - begin);
  }
  out.resize(written);
  return out;
}

size_t Utf8ToUtf16(std::string_view bytes, char16_t* out) {
  const uint8_t* const s = BytesOf(bytes);
  char16_t* d = out;
  DecodeUntil(s, s + bytes.size(), s + bytes.size(), d);
  return static_cast<size_t>(d - out);
}

void AppendUtf8(std::string& out, char32_t cp) {
  EncodeUtf8(out, cp);
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const char16_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < n && IsLowSurrogate(text[i + 1])) {
      EncodeUtf8(out, CombineSurrogates(c, text[i + 1]));
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      EncodeUtf8(out, kReplacement);
    } else {
      EncodeUtf8(out, c);
    }
  }
  return out;
}

std::string_view StripByteOrderMark(std::string_view bytes) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    bytes.remove_prefix(kByteOrderMark.size());
  }
  return bytes;
}

}  // namespace skyvane
