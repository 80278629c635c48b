#include "panel/controls/control_dump.h"

#include <string_view>

#include "json/json_writer.h"
#include "panel/texts/utf16_text.h"

namespace skyvane {

namespace {

void AppendString(const QString& text, std::string& out) {
  AppendJsonString(Utf16View(text), out);
}

void AppendMember(const char* key, std::string& out) {
  if (out.size() > 1) out += ',';
  out += '"';
  out += key;
  out += "\":";
}

}  // namespace

std::string ControlStateJson(const ControlState& state) {
  std::string out = "{";
  AppendMember("control", out);
  AppendString(state.control, out);
  AppendMember("index", out);
  out += state.index ? std::to_string(*state.index) : "null";
  AppendMember("caption", out);
  if (state.caption) {
    AppendString(*state.caption, out);
  } else {
    out += "null";
  }
  AppendMember("foreColor", out);
  out += state.fore_color ? std::to_string(*state.fore_color) : "null";
  AppendMember("left", out);
  out += std::to_string(state.twips.left());
  AppendMember("top", out);
  out += std::to_string(state.twips.top());
  AppendMember("width", out);
  out += std::to_string(state.twips.width());
  AppendMember("height", out);
  out += std::to_string(state.twips.height());
  if (state.is_image) {
    AppendMember("picture", out);
    if (state.picture) {
      AppendString(*state.picture, out);
    } else {
      out += "null";
    }
  }
  out += '}';
  return out;
}

}  // namespace skyvane
