#include "json/json_writer.h"

#include "json/collection.h"
#include "json/decimal.h"
#include "json/dictionary.h"
#include "text/utf.h"

namespace skyvane {
namespace {

constexpr char16_t kFirstPrintable = 0x20;
constexpr char kHexDigits[] = "0123456789abcdef";

void AppendUnicodeEscape(char16_t c, std::string& out) {
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHexDigits[(c >> shift) & 0xF];
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
          AppendUtf8(out, CombineSurrogates(c, text[i + 1]));
          ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
          AppendUnicodeEscape(c, out);
        } else {
          AppendUtf8(out, c);
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
