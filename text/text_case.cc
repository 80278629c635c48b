#include "text/text_case.h"

#include <unicode/stringoptions.h>
#include <unicode/uloc.h>
#include <unicode/ustring.h>
#include <unicode/utypes.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "text/run_error.h"

namespace skyvane {
namespace {

constexpr size_t kMaxIcuLength = std::numeric_limits<int32_t>::max();
constexpr char16_t kAsciiEnd = 0x80;
// Languages whose case rules map I to dotless ı and dotted İ to i.
constexpr const char* kTurkicLanguages[] = {"tr", "az"};

int32_t IcuLength(std::u16string_view s) {
  if (s.size() > kMaxIcuLength) Raise(ErrorNumber::kOverflow);
  return static_cast<int32_t>(s.size());
}

bool DefaultLocaleIsTurkic() {
  char language[ULOC_LANG_CAPACITY] = {};
  UErrorCode status = U_ZERO_ERROR;
  uloc_getLanguage(uloc_getDefault(), language, sizeof language, &status);
  if (U_FAILURE(status)) return false;
  for (const char* turkic : kTurkicLanguages) {
    if (std::strcmp(language, turkic) == 0) return true;
  }
  return false;
}

uint32_t FoldOptions(bool turkic) {
  return turkic ? U_FOLD_CASE_EXCLUDE_SPECIAL_I : U_FOLD_CASE_DEFAULT;
}

// ICU fails only when it cannot get memory or is handed something it cannot
// take; neither is the caller's text being odd.
[[noreturn]] void RaiseIcuFailure(UErrorCode status) {
  Raise(status == U_MEMORY_ALLOCATION_ERROR ? ErrorNumber::kOutOfMemory
                                            : ErrorNumber::kInvalidArgument,
        std::string("case mapping failed: ") + u_errorName(status));
}

using IcuCaseMap = int32_t (*)(UChar*, int32_t, const UChar*, int32_t, const char*, UErrorCode*);

std::u16string MapCase(std::u16string_view s, IcuCaseMap map) {
  const int32_t length = IcuLength(s);
  if (length == 0) return {};
  std::u16string result(s.size(), u'\0');
  UErrorCode status = U_ZERO_ERROR;
  // The default locale (nullptr) decides the language-specific rules.
  int32_t needed =
      map(result.data(), static_cast<int32_t>(result.size()), s.data(), length, nullptr, &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    result.assign(static_cast<size_t>(needed), u'\0');
    status = U_ZERO_ERROR;
    needed = map(result.data(), needed, s.data(), length, nullptr, &status);
  }
  // ICU maps any code units (lone surrogates pass through).
  if (U_FAILURE(status)) RaiseIcuFailure(status);
  result.resize(static_cast<size_t>(needed));
  return result;
}

bool IcuEqualsIgnoreCase(std::u16string_view a, std::u16string_view b, uint32_t options) {
  // An empty view may carry no address, which ICU refuses; and folding never
  // turns a code point into nothing, so the empty text equals only itself.
  if (a.empty() || b.empty()) return a.empty() && b.empty();
  UErrorCode status = U_ZERO_ERROR;
  const int32_t order =
      u_strCaseCompare(a.data(), IcuLength(a), b.data(), IcuLength(b), options, &status);
  if (U_FAILURE(status)) RaiseIcuFailure(status);
  return order == 0;
}

// ASCII code units fold to their ASCII lower case, one to one, except I
// under the Turkic rules; for those units a plain comparison decides.
class AsciiFold {
 public:
  explicit AsciiFold(bool turkic) : turkic_(turkic) {}
  bool Plain(char16_t c) const { return c < kAsciiEnd && !(turkic_ && c == u'I'); }
  static char16_t Fold(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
  }

 private:
  bool turkic_;
};

}  // namespace

std::u16string LowerCase(std::u16string_view s) {
  return MapCase(s, u_strToLower);
}

std::u16string UpperCase(std::u16string_view s) {
  return MapCase(s, u_strToUpper);
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  return IcuEqualsIgnoreCase(a, b, FoldOptions(DefaultLocaleIsTurkic()));
}

size_t FindIgnoreCase(std::u16string_view text, std::u16string_view pattern, size_t from) {
  if (from > text.size()) return std::u16string_view::npos;
  if (pattern.empty()) return from;
  if (pattern.size() > text.size() - from) return std::u16string_view::npos;
  IcuLength(pattern);  // every window is compared through ICU's 32-bit lengths
  const bool turkic = DefaultLocaleIsTurkic();
  const uint32_t options = FoldOptions(turkic);
  const AsciiFold ascii(turkic);
  bool pattern_plain = true;
  for (char16_t c : pattern) pattern_plain = pattern_plain && ascii.Plain(c);
  const char16_t first = pattern.front();
  const bool first_plain = ascii.Plain(first);
  const char16_t first_folded = AsciiFold::Fold(first);

  const size_t last = text.size() - pattern.size();
  for (size_t p = from; p <= last; ++p) {
    const char16_t head = text[p];
    // Folding keeps plain ASCII units one to one, so a differing plain first
    // unit rules the window out whatever follows it.
    if (first_plain && ascii.Plain(head) && AsciiFold::Fold(head) != first_folded) continue;
    const std::u16string_view window = text.substr(p, pattern.size());
    if (pattern_plain) {
      // Plain units decide the comparison up to the first unit that is not
      // plain; ICU settles the rest.
      bool decided = true;
      bool equal = true;
      for (size_t i = 0; i < window.size(); ++i) {
        if (!ascii.Plain(window[i])) {
          decided = false;
          break;
        }
        if (AsciiFold::Fold(window[i]) != AsciiFold::Fold(pattern[i])) {
          equal = false;
          break;
        }
      }
      if (decided) {
        if (equal) return p;
        continue;
      }
    }
    if (IcuEqualsIgnoreCase(window, pattern, options)) return p;
  }
  return std::u16string_view::npos;
}

}  // namespace skyvane
