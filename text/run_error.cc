#include "text/run_error.h"

namespace skyvane {

const char* DefaultDescription(ErrorNumber number) {
  switch (number) {
    case ErrorNumber::kInvalidArgument:
      return "Invalid procedure call or argument";
    case ErrorNumber::kOverflow:
      return "Overflow";
    case ErrorNumber::kOutOfMemory:
      return "Out of memory";
    case ErrorNumber::kSubscriptOutOfRange:
      return "Subscript out of range";
    case ErrorNumber::kTypeMismatch:
      return "Type mismatch";
    case ErrorNumber::kObjectRequired:
      return "Object required";
    case ErrorNumber::kKeyAlreadyPresent:
      return "This key is already associated with an element of this collection";
  }
  return "Application-defined or object-defined error";
}

RunError::RunError(ErrorNumber number, const std::string& description)
    : std::runtime_error(description.empty() ? std::string(DefaultDescription(number))
                                             : description),
      number_(number) {}

void Raise(ErrorNumber number, const std::string& description) {
  throw RunError(number, description);
}

}  // namespace skyvane
