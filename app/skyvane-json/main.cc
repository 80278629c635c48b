// skyvane-json [FILE]: reads a JSON text with the panel's lenient reader and
// shows what it made of it.
//
// FILE (standard input when absent or "-") is read as UTF-8: a leading
// byte-order mark is skipped and every invalid sequence becomes U+FFFD.
// Standard output: the root on one line as JSON (json/json_writer.h) and a
// line feed, or nothing when there is no root. Standard error: the reader's
// error log exactly as it stands (CR LF kept), and nothing else except this
// program's own messages, which start with "skyvane-json: ".
// Exit status: 0 root and empty log, 1 root and a log, 2 no root, or the
// input could not be read (it is missing, larger than kMaxInputBytes, 1 GiB,
// or too large for memory), or the output could not be written.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>

#include "app/common/read_all.h"
#include "json/json_reader.h"
#include "json/json_writer.h"
#include "text/utf.h"

namespace {

constexpr int kExitClean = 0;
constexpr int kExitLogged = 1;
constexpr int kExitNoRoot = 2;
constexpr char kUsage[] = "usage: skyvane-json [FILE]\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "skyvane-json: %s\n", message.c_str());
  return kExitNoRoot;
}

bool WriteAll(std::FILE* stream, std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size() &&
         std::fflush(stream) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fputs("skyvane-json: ", stderr);
    std::fputs(kUsage, stderr);
    return kExitNoRoot;
  }
  const std::string name = argc == 2 ? argv[1] : "-";
  if (name == "--help" || name == "-h") {
    std::fputs(kUsage, stdout);
    return kExitClean;
  }

  std::string bytes;
  const std::string problem = skyvane::ReadInput(name, bytes);
  if (!problem.empty()) return Fail(problem);
  try {
    const skyvane::JsonValue root = skyvane::ReadJsonUtf8(bytes);
    bytes = std::string();
    const bool has_root = !root.IsEmpty();
    if (has_root) {
      std::string out = skyvane::WriteJson(root);
      out += '\n';
      if (!WriteAll(stdout, out)) {
        return Fail(std::string("cannot write standard output: ") + std::strerror(errno));
      }
    }
    const std::u16string& log = skyvane::ErrorLog();
    WriteAll(stderr, skyvane::Utf16ToUtf8(log));
    if (!has_root) return kExitNoRoot;
    return log.empty() ? kExitClean : kExitLogged;
  } catch (const std::exception&) {
    // Only memory can fail here (std::bad_alloc, std::length_error): the
    // input was too large to convert, read or write.
    return Fail(skyvane::NotEnoughMemory(name));
  }
}
