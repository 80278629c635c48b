// Writing one day record of the panel's own forecast document, as the
// sources that convert another service's answer do.
#ifndef SKYVANE_PANEL_SOURCES_DOCUMENT_RECORD_H_
#define SKYVANE_PANEL_SOURCES_DOCUMENT_RECORD_H_

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "json/json_writer.h"
#include "panel/texts/utf16_text.h"

namespace skyvane {

// Appends "key":"text" to `record`, a JSON object being written that starts
// with "{", or "key":null when there is no text.
inline void AppendMember(std::u16string_view key, const std::optional<QString>& text,
                         std::string& record) {
  if (record.size() > 1) record += ',';
  AppendJsonString(key, record);
  record += ':';
  if (text) {
    AppendJsonString(Utf16View(*text), record);
  } else {
    record += "null";
  }
}

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SOURCES_DOCUMENT_RECORD_H_
