// The one run-time error type of Skyvane.
//
// Every layer raises failures as a RunError carrying a number and a
// description. The numbers are fixed and declared together below so that
// callers (and the tools' exit messages) can rely on them. Nothing in the
// core libraries throws any other exception type on purpose; std::bad_alloc
// is turned into ErrorNumber::kOutOfMemory where an operation promises to
// stay unchanged on failure.
#ifndef SKYVANE_TEXT_RUN_ERROR_H_
#define SKYVANE_TEXT_RUN_ERROR_H_

#include <stdexcept>
#include <string>

namespace skyvane {

enum class ErrorNumber : int {
  kInvalidArgument = 5,       // a value outside what an operation accepts
  kOverflow = 6,              // checked arithmetic left its range
  kOutOfMemory = 7,           // an allocation failed; the object is unchanged
  kSubscriptOutOfRange = 9,   // an index or position outside its range
  kTypeMismatch = 13,         // a value of the wrong kind, e.g. text that is no number
  kObjectRequired = 424,      // a container was needed and something else was found
  kKeyAlreadyPresent = 457,   // Dictionary::Add of a key that is present
};

// The description used when a raiser gives none of its own.
const char* DefaultDescription(ErrorNumber number);

class RunError : public std::runtime_error {
 public:
  // `description` is UTF-8 text; when empty, DefaultDescription(number) is used.
  explicit RunError(ErrorNumber number, const std::string& description = {});

  ErrorNumber Number() const noexcept { return number_; }
  int Code() const noexcept { return static_cast<int>(number_); }
  // The description as UTF-8 text (the same text what() returns).
  std::string Description() const { return what(); }

 private:
  ErrorNumber number_;
};

// Throws RunError(number, description).
[[noreturn]] void Raise(ErrorNumber number, const std::string& description = {});

}  // namespace skyvane

#endif  // SKYVANE_TEXT_RUN_ERROR_H_
