// JSON text of a JsonValue on one line, for programs that show parsed trees
// (skyvane-json prints roots with it; the panel's inspection output uses it).
//
// The form: objects as {"key":value,...} with keys in entry order, arrays as
// [value,...], no blanks anywhere. Strings and keys are quoted with '"' and
// escaped as \" \\ \b \f \n \r \t; every other code unit below 0x20 and every
// unpaired surrogate as \u and four lower-case hexadecimal digits; all other
// characters as UTF-8 (a surrogate pair as its one 4-byte sequence).
// Numbers are Decimal::ToAscii() ("." separator, no exponent); true, false,
// null; Empty as the bare word undefined.
//
// The writer recurses once per nested container; trees that ReadJson builds
// nest at most kMaxNesting deep.
#ifndef SKYVANE_JSON_JSON_WRITER_H_
#define SKYVANE_JSON_JSON_WRITER_H_

#include <string>
#include <string_view>

#include "json/json_value.h"

namespace skyvane {

// Appends the JSON text of `value` (UTF-8) to `out`. Raises nothing of its
// own; std::bad_alloc passes through.
void AppendJson(const JsonValue& value, std::string& out);

// The JSON text of `value`, UTF-8.
std::string WriteJson(const JsonValue& value);

// Appends `text` quoted and escaped as a JSON string (UTF-8) to `out`.
void AppendJsonString(std::u16string_view text, std::string& out);

}  // namespace skyvane

#endif  // SKYVANE_JSON_JSON_WRITER_H_
