// Reading a tool's whole input into memory: a file, or standard input.
#ifndef SKYVANE_APP_COMMON_READ_ALL_H_
#define SKYVANE_APP_COMMON_READ_ALL_H_

#include <cstddef>
#include <string>

namespace skyvane {

// The most a tool reads of its input: 1 GiB. A larger input (or an endless
// one, such as /dev/zero) is refused instead of being read until memory
// runs out.
inline constexpr std::size_t kMaxInputBytes = std::size_t{1} << 30;

// The input's name in messages: "standard input" for "-", else `name`.
std::string InputName(const std::string& name);

// The line for an input that memory could not hold (or could not hold once
// converted): "not enough memory to read x.json".
std::string NotEnoughMemory(const std::string& name);

// Reads all of the input `name` ("-" for standard input) into `bytes`,
// replacing what it held. Returns the empty text when the whole input was
// read. Otherwise returns one line saying why not, naming the input, and
// `bytes` is left empty:
//   "cannot read x.json: No such file or directory"  (open or read failed)
//   "x.json is larger than 1073741824 bytes, the most this program reads"
//   "not enough memory to read x.json"
// A regular file larger than `max_bytes` is refused before it is read, and
// no more than `max_bytes` + 1 bytes are ever read of anything else. Throws
// nothing.
std::string ReadInput(const std::string& name, std::string& bytes,
                      std::size_t max_bytes = kMaxInputBytes);

}  // namespace skyvane

#endif  // SKYVANE_APP_COMMON_READ_ALL_H_
