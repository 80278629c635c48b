#include "text/utf.h"

#include <cstdint>

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

// The well-formed UTF-8 byte sequences: for each run of lead bytes, the
// continuation bytes it needs, its payload bits, and the range its first
// continuation byte must fall in (which is what rules out overlong forms,
// surrogates and values past U+10FFFF). Every later continuation byte lies in
// kContinuationLow..kContinuationHigh.
struct Lead {
  uint8_t lead_low;
  uint8_t lead_high;
  int continuations;
  uint8_t payload_mask;
  uint8_t first_low;
  uint8_t first_high;
};

constexpr Lead kLeads[] = {
    {0xC2, 0xDF, 1, 0x1F, 0x80, 0xBF},
    {0xE0, 0xE0, 2, 0x0F, 0xA0, 0xBF},  // no overlong three-byte forms
    {0xE1, 0xEC, 2, 0x0F, 0x80, 0xBF},
    {0xED, 0xED, 2, 0x0F, 0x80, 0x9F},  // no surrogates
    {0xEE, 0xEF, 2, 0x0F, 0x80, 0xBF},
    {0xF0, 0xF0, 3, 0x07, 0x90, 0xBF},  // no overlong four-byte forms
    {0xF1, 0xF3, 3, 0x07, 0x80, 0xBF},
    {0xF4, 0xF4, 3, 0x07, 0x80, 0x8F},  // nothing past U+10FFFF
};

// The row for lead byte b, or nullptr when b cannot start a sequence.
const Lead* FindLead(uint8_t b) {
  for (const Lead& lead : kLeads) {
    if (b >= lead.lead_low && b <= lead.lead_high) return &lead;
  }
  return nullptr;
}

// Marker bits of the first byte of a two-, three- and four-byte sequence, and
// of every continuation byte.
constexpr uint32_t kTwoByteMark = 0xC0;
constexpr uint32_t kThreeByteMark = 0xE0;
constexpr uint32_t kFourByteMark = 0xF0;
constexpr uint32_t kContinuationMark = 0x80;

void AppendCodePoint(std::u16string& out, uint32_t cp) {
  if (cp < kSupplementaryStart) {
    out.push_back(static_cast<char16_t>(cp));
    return;
  }
  cp -= kSupplementaryStart;
  out.push_back(static_cast<char16_t>(kHighSurrogateFirst + (cp >> kSurrogateBits)));
  out.push_back(static_cast<char16_t>(kLowSurrogateFirst + (cp & kSurrogatePayload)));
}

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

}  // namespace

std::u16string Utf8ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  const size_t n = bytes.size();
  size_t i = 0;
  while (i < n) {
    const auto b = static_cast<uint8_t>(bytes[i]);
    if (b < kAsciiEnd) {
      out.push_back(b);
      ++i;
      continue;
    }
    const Lead* lead = FindLead(b);
    if (lead == nullptr) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    // A sequence cut short or broken becomes one U+FFFD for the bytes read so
    // far (the maximal valid prefix); decoding resumes at the offending byte.
    uint32_t cp = b & lead->payload_mask;
    uint8_t low = lead->first_low;
    uint8_t high = lead->first_high;
    size_t j = i + 1;
    bool complete = true;
    for (int k = 0; k < lead->continuations; ++k, ++j) {
      if (j >= n) {
        complete = false;
        break;
      }
      const auto c = static_cast<uint8_t>(bytes[j]);
      if (c < low || c > high) {
        complete = false;
        break;
      }
      cp = (cp << kContinuationBits) | (c & kContinuationPayload);
      low = kContinuationLow;
      high = kContinuationHigh;
    }
    if (complete) {
      AppendCodePoint(out, cp);
    } else {
      out.push_back(kReplacement);
    }
    i = j;
  }
  return out;
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
