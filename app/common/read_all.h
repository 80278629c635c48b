// Reading a whole input stream into memory, for the command-line tools that
// take a file or standard input.
#ifndef SKYVANE_APP_COMMON_READ_ALL_H_
#define SKYVANE_APP_COMMON_READ_ALL_H_

#include <cstdio>
#include <string>

namespace skyvane {

// Appends every byte left in `stream` to `bytes`. Returns false when a read
// fails; errno then says why, and `bytes` holds what was read before. The
// stream stays open and is the caller's.
bool ReadAll(std::FILE* stream, std::string& bytes);

}  // namespace skyvane

#endif  // SKYVANE_APP_COMMON_READ_ALL_H_
