// Fuzzes the JSON reader on arbitrary UTF-16 text: the input bytes are taken
// two at a time as little-endian code units (an odd last byte is dropped).
// Every parse must return, leave a well-formed log and give a tree that the
// writer can serialise.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "json/json_reader.h"
#include "json/json_writer.h"

namespace {

bool LogIsWellFormed(const std::u16string& log) {
  return log.empty() || log == u"Invalid JSON" ||
         (log.size() >= 2 && log.compare(log.size() - 2, 2, u"\r\n") == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text(size / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  const skyvane::JsonValue root = skyvane::ReadJson(text);
  const std::u16string& log = skyvane::ErrorLog();
  if (!LogIsWellFormed(log)) std::abort();
  // No root exactly when the text opens no container.
  if (root.IsEmpty() != (log == u"Invalid JSON")) std::abort();
  if (!root.IsEmpty() && !root.IsDictionary() && !root.IsCollection()) std::abort();
  const std::string json = skyvane::WriteJson(root);
  if (!root.IsEmpty() && json.empty()) std::abort();
  return 0;
}
