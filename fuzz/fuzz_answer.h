// The fuzz input as a service's answer: its bytes as the body of a 200 OK.
#ifndef SKYVANE_FUZZ_FUZZ_ANSWER_H_
#define SKYVANE_FUZZ_FUZZ_ANSWER_H_

#include <cstddef>
#include <cstdint>

#include "panel/fetch/http_fetch.h"

inline skyvane::FetchResult AnswerOf(const uint8_t* data, size_t size) {
  skyvane::FetchResult fetched;
  fetched.text =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  fetched.status = 200;
  fetched.status_text = QStringLiteral("OK");
  return fetched;
}

#endif  // SKYVANE_FUZZ_FUZZ_ANSWER_H_
