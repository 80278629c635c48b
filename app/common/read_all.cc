#include "app/common/read_all.h"

#include <vector>

namespace skyvane {
namespace {

// Bytes asked of the stream at a time.
constexpr std::size_t kReadBlockBytes = std::size_t{1} << 16;

}  // namespace

bool ReadAll(std::FILE* stream, std::string& bytes) {
  std::vector<char> block(kReadBlockBytes);
  std::size_t got = 0;
  while ((got = std::fread(block.data(), 1, block.size(), stream)) > 0) {
    bytes.append(block.data(), got);
  }
  return std::ferror(stream) == 0;
}

}  // namespace skyvane
