#include "app/common/read_all.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

namespace skyvane {
namespace {

// Bytes asked of the stream at a time.
constexpr std::size_t kReadBlockBytes = std::size_t{1} << 16;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string CannotRead(const std::string& shown, int error) {
  return "cannot read " + shown + ": " + std::strerror(error);
}

std::string TooLarge(const std::string& shown, std::size_t max_bytes) {
  return shown + " is larger than " + std::to_string(max_bytes) +
         " bytes, the most this program reads";
}

// The reading itself; may throw std::bad_alloc.
std::string ReadStream(std::FILE* stream, const std::string& shown, std::string& bytes,
                       std::size_t max_bytes) {
  struct stat info {};
  if (::fstat(fileno(stream), &info) == 0 && S_ISREG(info.st_mode)) {
    if (static_cast<std::size_t>(info.st_size) > max_bytes) return TooLarge(shown, max_bytes);
    bytes.reserve(static_cast<std::size_t>(info.st_size));
  }
  std::vector<char> block(kReadBlockBytes);
  for (;;) {
    // One byte past the limit is enough to know the input is too large.
    const std::size_t wanted = std::min(block.size(), max_bytes - bytes.size() + 1);
    const std::size_t got = std::fread(block.data(), 1, wanted, stream);
    if (got == 0) break;
    if (bytes.size() + got > max_bytes) return TooLarge(shown, max_bytes);
    bytes.append(block.data(), got);
  }
  if (std::ferror(stream) != 0) return CannotRead(shown, errno);
  return std::string();
}

}  // namespace

std::string InputName(const std::string& name) {
  return name == "-" ? "standard input" : name;
}

std::string NotEnoughMemory(const std::string& name) {
  return "not enough memory to read " + InputName(name);
}

std::string ReadInput(const std::string& name, std::string& bytes, std::size_t max_bytes) {
  const std::string shown = InputName(name);
  bytes.clear();
  std::unique_ptr<std::FILE, FileCloser> file;
  std::FILE* stream = stdin;
  if (name != "-") {
    file.reset(std::fopen(name.c_str(), "rb"));
    if (!file) return CannotRead(shown, errno);
    stream = file.get();
  }
  std::string problem;
  try {
    problem = ReadStream(stream, shown, bytes, max_bytes);
  } catch (const std::exception&) {
    // Only memory can fail here: std::bad_alloc, or std::length_error.
    problem = NotEnoughMemory(name);
  }
  if (!problem.empty()) std::string().swap(bytes);
  return problem;
}

}  // namespace skyvane
