// The module JSON: a lenient reader of JSON text with an error log.
//
// ReadJson turns a UTF-16 JSON text into a tree of Dictionary / Collection
// containers and scalars. It never throws: problems become lines of the
// process-wide error log, which ReadJson empties when it starts and ErrorLog
// reads. The reader accepts comments (// and /* */), parentheses as blanks,
// single or double quotes, unquoted keys and optional commas.
//
// Not re-entrant and not thread-safe: the log is shared by every parse.
#ifndef SKYVANE_JSON_JSON_READER_H_
#define SKYVANE_JSON_JSON_READER_H_

#include <string>
#include <string_view>

#include "json/json_value.h"

namespace skyvane {

// The root of `sText`: a JsonValue holding a Dictionary or a Collection, or
// Empty when the text has no root ("Invalid JSON" in the log). The caller
// owns the returned tree. `sText` is read in place and never copied.
JsonValue ReadJson(std::u16string_view sText);

// The current error log: lines ending in CR LF, or "Invalid JSON" alone.
const std::u16string& ErrorLog();

}  // namespace skyvane

#endif  // SKYVANE_JSON_JSON_READER_H_
