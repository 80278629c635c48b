// Fuzzes Utf8ToUtf16 against the plain byte-at-a-time decoder kept with the
// tests: for any bytes the two must give the same code units. The well-formed
// result must also survive the way back to UTF-8 and again to UTF-16.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tests/text/utf8_reference.h"
#include "text/utf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string text = skyvane::Utf8ToUtf16(bytes);
  if (text != skyvane::reference::Utf8ToUtf16(bytes)) std::abort();
  if (text.size() > size) std::abort();
  if (skyvane::Utf8ToUtf16(skyvane::Utf16ToUtf8(text)) != text) std::abort();
  return 0;
}
