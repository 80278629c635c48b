#include "tests/text/utf8_reference.h"

#include <cstdint>

#include "text/utf.h"

namespace skyvane::reference {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr uint8_t kAsciiEnd = 0x80;
constexpr uint8_t kContinuationLow = 0x80;
constexpr uint8_t kContinuationHigh = 0xBF;
constexpr uint8_t kContinuationPayload = 0x3F;
constexpr int kContinuationBits = 6;
constexpr uint32_t kSurrogatePayload = 0x3FF;

// For each run of lead bytes: the continuation bytes it needs, its payload
// bits, and the range its first continuation byte must fall in.
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

const Lead* FindLead(uint8_t b) {
  for (const Lead& lead : kLeads) {
    if (b >= lead.lead_low && b <= lead.lead_high) return &lead;
  }
  return nullptr;
}

void AppendCodePoint(std::u16string& out, uint32_t cp) {
  if (cp < kSupplementaryStart) {
    out.push_back(static_cast<char16_t>(cp));
    return;
  }
  cp -= kSupplementaryStart;
  out.push_back(static_cast<char16_t>(kHighSurrogateFirst + (cp >> kSurrogateBits)));
  out.push_back(static_cast<char16_t>(kLowSurrogateFirst + (cp & kSurrogatePayload)));
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

}  // namespace skyvane::reference
