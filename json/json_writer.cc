#include "json/json_writer.h"

#include "json/collection.h"
#include "json/decimal.h"
#include "json/dictionary.h"

namespace skyvane {
namespace {

constexpr char16_t kFirstPrintable = 0x20;
constexpr char16_t kHighSurrogateFirst = 0xD800;
constexpr char16_t kLowSurrogateFirst = 0xDC00;
constexpr char16_t kLowSurrogateLast = 0xDFFF;
constexpr char kHexDigits[] = "0123456789abcdef";

bool IsHighSurrogate(char16_t c) {
  return c >= kHighSurrogateFirst && c < kLowSurrogateFirst;
}
bool IsLowSurrogate(char16_t c) {
  return c >= kLowSurrogateFirst && c <= kLowSurrogateLast;
}

void AppendUnicodeEscape(char16_t c, std::string& out) {
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHexDigits[(c >> shift) & 0xF];
}

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

void AppendJsonString(std::u16string_view text, std::string& out) {
  out += '"';
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    switch (c) {
      case u'"':
        out += "\\\"";
        break;
      case u'\\':
        out += "\\\\";
        break;
      case u'\b':
        out += "\\b";
        break;
      case u'\f':
        out += "\\f";
        break;
      case u'\n':
        out += "\\n";
        break;
      case u'\r':
        out += "\\r";
        break;
      case u'\t':
        out += "\\t";
        break;
      default:
        if (c < kFirstPrintable) {
          AppendUnicodeEscape(c, out);
        } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
          const char32_t high = c - kHighSurrogateFirst;
          const char32_t low = text[i + 1] - kLowSurrogateFirst;
          AppendUtf8(0x10000 + (high << 10) + low, out);
          ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
          AppendUnicodeEscape(c, out);
        } else {
          AppendUtf8(c, out);
        }
        break;
    }
  }
  out += '"';
}

void AppendJson(const JsonValue& value, std::string& out) {
  switch (value.Kind()) {
    case VarType::kEmpty:
      out += "undefined";
      break;
    case VarType::kNull:
      out += "null";
      break;
    case VarType::kString:
      AppendJsonString(value.AsString(), out);
      break;
    case VarType::kBoolean:
      out += value.AsBoolean() ? "true" : "false";
      break;
    case VarType::kDecimal:
      out += value.AsDecimal().ToAscii();
      break;
    case VarType::kObject:
      if (const Dictionary* object = value.DictionaryOrNull()) {
        out += '{';
        bool first = true;
        for (const Dictionary::Entry& entry : *object) {
          if (!first) out += ',';
          first = false;
          AppendJsonString(entry.first, out);
          out += ':';
          AppendJson(entry.second, out);
        }
        out += '}';
      } else if (const Collection* array = value.CollectionOrNull()) {
        out += '[';
        bool first = true;
        for (const JsonValue& item : *array) {
          if (!first) out += ',';
          first = false;
          AppendJson(item, out);
        }
        out += ']';
      }
      break;
  }
}

std::string WriteJson(const JsonValue& value) {
  std::string out;
  AppendJson(value, out);
  return out;
}

}  // namespace skyvane
