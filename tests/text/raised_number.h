// RaisedNumber: the error number an action raises, for tests that check
// which RunError a call ends with.
#ifndef SKYVANE_TESTS_TEXT_RAISED_NUMBER_H_
#define SKYVANE_TESTS_TEXT_RAISED_NUMBER_H_

#include <functional>

#include "text/run_error.h"

namespace skyvane {

// Runs `action` and returns the Code() of the RunError it raises, or 0 when
// it raises none. Other exceptions pass through.
inline int RaisedNumber(const std::function<void()>& action) {
  try {
    action();
  } catch (const RunError& e) {
    return e.Code();
  }
  return 0;
}

}  // namespace skyvane

#endif  // SKYVANE_TESTS_TEXT_RAISED_NUMBER_H_
