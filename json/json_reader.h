// The module JSON: a lenient reader of JSON text with an error log.
//
// ReadJson turns a UTF-16 JSON text into a tree of Dictionary / Collection
// containers and scalars. It never throws: problems become lines of the
// process-wide error log, which ReadJson empties when it starts and ErrorLog
// reads. The reader accepts comments (// and /* */), parentheses as blanks,
// single or double quotes, unquoted keys and optional commas.
//
// Log lines end in CR LF; positions in them are 1-based decimal code-unit
// positions; excerpts are taken from the text unchanged (so an excerpt may
// cut a surrogate pair). A failure while reading a member (a number that
// does not convert, a duplicate key, memory exhausted, the limits below)
// stops the container being read and every container around it: each adds
// one line, innermost first, and the root is returned with what was read.
//
// Limits, where an unbounded reading would hang or exhaust the process:
//   - An array item that leaves the position where it was (a misspelt
//     literal such as the text [tru]) is kept, and then the array stops as
//     after a member failure whose description is kNoProgressDescription:
//     the line "Invalid array item: tru]" CR LF follows the literal's own
//     line, and every enclosing container adds its line.
//   - Containers nest at most kMaxNesting deep (the root counts as 1). A
//     container deeper than that is refused as a member failure described as
//     "Nesting deeper than 1000 containers".
//   - A text longer than kMaxTextLength code units (positions are signed
//     32-bit) gives no root and the single log line
//     "Text too long: N code units, at most 2147483647 can be read" CR LF.
//   - The log stops growing once it holds kMaxLogLength code units or more:
//     every later line is dropped and one line kLogFullLine marks the cut.
//     (Each misspelt literal quotes the whole rest of the text, so without
//     the cap a hostile text could make the log quadratic in its length.)
//
// Not re-entrant and not thread-safe: the log is shared by every parse.
#ifndef SKYVANE_JSON_JSON_READER_H_
#define SKYVANE_JSON_JSON_READER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "json/json_value.h"

namespace skyvane {

inline constexpr int kMaxNesting = 1000;
inline constexpr std::size_t kMaxTextLength = INT32_MAX;
inline constexpr std::size_t kMaxLogLength = std::size_t{1} << 22;
inline constexpr std::u16string_view kNoProgressDescription = u"Invalid array item";
inline constexpr std::u16string_view kLogFullLine = u"Error log full: further messages dropped\r\n";

// The root of `sText`: a JsonValue holding a Dictionary or a Collection, or
// Empty when the text has no root ("Invalid JSON" in the log). The caller
// owns the returned tree. `sText` is read in place and never copied.
JsonValue ReadJson(std::u16string_view sText);

// ReadJson of UTF-8 `bytes` (a leading byte-order mark skipped), decoded as
// Utf8ToUtf16 decodes them: the way from a file's bytes to its tree. The
// decoded text goes to a buffer of the calling thread that is reused by its
// next call, so repeated reads neither allocate nor clear it again; a buffer
// over kKeptUtf8BufferUnits code units is released when the read ends. The
// log's positions and excerpts are those of the decoded text.
inline constexpr std::size_t kKeptUtf8BufferUnits = std::size_t{1} << 23;
JsonValue ReadJsonUtf8(std::string_view bytes);

// The current error log: lines ending in CR LF, or "Invalid JSON" alone.
// It keeps its content until the next ReadJson.
const std::u16string& ErrorLog();

// True when the last ReadJson met the end of its text while a container was
// still open, so the text was cut short (or never closed its root): each
// open container then logged its "Missing" line, or its member failure when
// one came right at the end. False when the root was closed, when a member
// failure stopped it before the end, and when there is no root. Independent
// of the log, which may be full. It keeps its value until the next ReadJson.
bool EndedInsideContainer();

}  // namespace skyvane

#endif  // SKYVANE_JSON_JSON_READER_H_
