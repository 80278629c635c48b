#include "json/json_reader.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "json/collection.h"
#include "json/decimal.h"
#include "json/dictionary.h"
#include "json/dictionary_key.h"
#include "json/gather_stack.h"
#include "json/key_index.h"
#include "json/parse_arena.h"
#include "json/reader_scan.h"
#include "text/run_error.h"
#include "text/string_builder.h"
#include "text/utf.h"

namespace skyvane {
namespace {

using reader_scan::FindKeySpecial;
using reader_scan::FindQuoteOrBackslash;
using reader_scan::IsNumberChar;
using reader_scan::SkipLayoutBlanks;

// Excerpts quoted by the "Missing" and array failure lines.
constexpr std::size_t kExcerptLength = 20;
// Code units read after "\u" as a hexadecimal number.
constexpr std::size_t kUnicodeEscapeDigits = 4;
constexpr std::u16string_view kLineEnd = u"\r\n";
constexpr std::u16string_view kInvalidJson = u"Invalid JSON";
constexpr std::u16string_view kNestingDescription = u"Nesting deeper than 1000 containers";
static_assert(kMaxNesting == 1000, "kNestingDescription names the limit");
constexpr std::size_t kDecimalRadix = 10;
constexpr std::size_t kMaxDecimalDigits = 20;  // enough for any 64-bit count
// Value of the hexadecimal digits "a" / "A".
constexpr int kHexLetterBase = 10;
constexpr unsigned kHexRadix = 16;
// The error log releases its buffer at the next parse when it grew past this.
constexpr std::size_t kLogKeepCapacity = 1 << 16;

std::u16string& LogText() {
  static std::u16string log;
  return log;
}
// Set once the log reached kMaxLogLength (or memory ran out while writing it).
bool log_full = false;
// Set when a container met the end of the text before its closing bracket.
bool ended_inside_container = false;

void ResetLog() {
  std::u16string& log = LogText();
  if (log.capacity() > kLogKeepCapacity) {
    std::u16string().swap(log);
  } else {
    log.clear();
  }
  log_full = false;
  ended_inside_container = false;
}

// Appends the pieces and CR LF as one line. Never throws: a line that cannot
// be written for want of memory is dropped, and so is every later one.
void AppendLine(std::initializer_list<std::u16string_view> pieces) {
  if (log_full) return;
  std::u16string& log = LogText();
  try {
    if (log.size() >= kMaxLogLength) {
      log_full = true;
      log += kLogFullLine;
      return;
    }
    std::size_t size = kLineEnd.size();
    for (std::u16string_view piece : pieces) size += piece.size();
    log.reserve(log.size() + size);
    for (std::u16string_view piece : pieces) log += piece;
    log += kLineEnd;
  } catch (const std::exception&) {
    log_full = true;
  }
}

// Decimal digits of a 1-based position (or any count).
std::u16string DecimalText(std::size_t value) {
  char16_t digits[kMaxDecimalDigits];
  std::size_t start = sizeof digits / sizeof digits[0];
  do {
    digits[--start] = static_cast<char16_t>(u'0' + value % kDecimalRadix);
    value /= kDecimalRadix;
  } while (value != 0);
  return std::u16string(digits + start, sizeof digits / sizeof digits[0] - start);
}

// The failure description, as the log shows it.
std::u16string DescriptionOf(const std::exception& e) {
  return Utf8ToUtf16(e.what());
}

// Characters at which SkipBlanks has anything to do.
bool MayStartBlank(char16_t c) {
  switch (c) {
    case u'\r':
    case u'\n':
    case u'\t':
    case u' ':
    case u'(':
    case u')':
    case u'/':
    case u'*':
      return true;
    default:
      return false;
  }
}

int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + kHexLetterBase;
  if (c >= u'A' && c <= u'F') return c - u'A' + kHexLetterBase;
  return -1;
}

// Raised when a container would nest deeper than kMaxNesting.
struct NestingTooDeep {};

// One parse: the text, the shared position (0-based here, shown 1-based in
// the log) and the pending failure.
class Reader {
 public:
  explicit Reader(std::u16string_view text) : text_(text), p_(text.data()), n_(text.size()) {}

  // The root per the first non-blank character; Empty and "Invalid JSON"
  // when it opens no container.
  JsonValue ReadRoot() {
    SkipBlanks();
    if (At(u'{')) return ReadObject(1);
    if (At(u'[')) return ReadArray(1);
    LogText() = kInvalidJson;
    return JsonValue();
  }

 private:
  bool AtEnd() const { return pos_ >= n_; }
  bool At(char16_t c) const { return pos_ < n_ && p_[pos_] == c; }
  std::u16string_view Rest() const { return AtEnd() ? std::u16string_view() : text_.substr(pos_); }
  std::u16string_view ExcerptFromPosition() const {
    return AtEnd() ? std::u16string_view() : text_.substr(pos_, kExcerptLength);
  }
  std::u16string_view LastExcerpt() const {
    return n_ <= kExcerptLength ? text_ : text_.substr(n_ - kExcerptLength);
  }
  std::u16string Position() const { return DecimalText(pos_ + 1); }

  // Steps over blanks and comments. It stops at the end or at a unit that
  // MayStartBlank refuses, so a second call in the same place does nothing:
  // the readers that start at a non-blank rely on their caller's call.
  void SkipBlanks() {
    if (pos_ < n_ && !MayStartBlank(p_[pos_])) return;
    // Layout blanks need no state: step over them in a tight loop first.
    pos_ = SkipLayoutBlanks(p_, pos_, n_);
    if (pos_ < n_ && (p_[pos_] == u'/' || p_[pos_] == u'*')) SkipBlanksSlow();
  }

  // The comment state machine: a "/" or "*" waits for its partner
  // (pending); "//" opens a comment up to the line end, "/*" one that the
  // first "/" after any "*" closes.
  void SkipBlanksSlow() {
    bool in_comment = false;
    bool in_block = false;
    bool pending = false;
    for (; pos_ < n_; ++pos_) {
      switch (p_[pos_]) {
        case u'\r':
        case u'\n':
          if (!in_block) {
            pending = false;
            in_comment = false;
          }
          break;
        case u'\t':
        case u' ':
        case u'(':
        case u')':
          break;
        case u'/':
          if (in_block) {
            if (pending) in_block = in_comment = pending = false;
          } else if (pending) {
            pending = false;
            in_comment = true;
          } else {
            pending = true;
            in_comment = false;
          }
          break;
        case u'*':
          if (pending) {
            pending = false;
            in_comment = in_block = true;
          } else {
            pending = true;
          }
          break;
        default:
          if (!in_comment) return;
          break;
      }
    }
  }

  void SetPending(std::u16string description) {
    pending_ = true;
    pending_description_ = std::move(description);
  }

  // Runs `read` for one member and turns whatever it raises into the
  // pending failure; the member is then abandoned.
  template <typename Read>
  void ReadMember(Read&& read) {
    try {
      read();
    } catch (const NestingTooDeep&) {
      SetPending(std::u16string(kNestingDescription));
    } catch (const std::bad_alloc&) {
      SetPending(Utf8ToUtf16(DefaultDescription(ErrorNumber::kOutOfMemory)));
    } catch (const std::exception& e) {
      SetPending(DescriptionOf(e));
    }
  }

  // The members of every object being read are gathered on one stack,
  // each object's above those of the objects around it, and moved into a
  // dictionary of their exact size when the object ends, however it ends.
  // Keys are checked as they come: against the object's earlier keys one by
  // one up to Dictionary::kReaderScanLimit members, and through an index
  // beyond, which the dictionary then keeps.
  JsonValue ReadObject(int depth) {
    SkipBlanks();
    if (!At(u'{')) {
      AppendLine({u"Invalid Object at position ", Position(), u" : ", Rest()});
      return JsonValue(MakeRef<Dictionary>());
    }
    ++pos_;
    Gathered<DictionaryEntry> members(entries_);
    std::unique_ptr<internal::KeyIndex> index;
    // A key that is not one plain run of the text is spelled out here.
    std::u16string spelled;
    for (;;) {
      SkipBlanks();
      if (At(u'}')) {
        ++pos_;
        break;
      }
      if (At(u',')) {
        ++pos_;
        SkipBlanks();
      } else if (AtEnd()) {
        ended_inside_container = true;
        AppendLine({u"Missing '}': ", LastExcerpt()});
        break;
      }
      pending_ = false;
      std::u16string_view key;
      ReadMember([&] {
        key = ReadKey(spelled);
        SkipBlanks();
        Decimal number;
        if (ReadPlainNumber(number)) {
          AddMember(members.start, key, JsonValue(number), index);
          return;
        }
        JsonValue value = ReadValue(depth);
        AddMember(members.start, key, std::move(value), index);
      });
      if (pending_) {
        if (AtEnd()) ended_inside_container = true;
        AppendLine({pending_description_, u": ", key});
        break;
      }
    }
    Ref<Dictionary> object = Dictionary::FromDistinctEntries(
        entries_.At(members.start), entries_.size() - members.start, std::move(index));
    members.HandedOver();
    return JsonValue(std::move(object));
  }

  // Adds a member to the object whose members start at entries_[start],
  // raising Dictionary::Add's failure when the key is already there.
  void AddMember(std::size_t start, std::u16string_view key, JsonValue&& value,
                 std::unique_ptr<internal::KeyIndex>& index) {
    const std::size_t count = entries_.size() - start;
    const DictionaryEntry* members = entries_.At(start);
    uint32_t hash = 0;
    if (count < Dictionary::kReaderScanLimit) {
      const uint64_t sketch = DictionaryKey::SketchOf(key);
      for (std::size_t i = 0; i < count; ++i) {
        if (members[i].first.Is(key, sketch)) RaiseKeyAlreadyPresent();
      }
    } else {
      auto key_at = [members](std::size_t i) { return std::u16string_view(members[i].first); };
      if (!index) {
        index = internal::KeyIndex::Over(count, count + 1, key_at);
      } else if (!index->HasRoomFor(count + 1)) {
        index = index->Grown(count + 1);
      }
      hash = index->Hash(key);
      if (index->Find(key, hash, key_at) != internal::KeyIndex::kNoEntry) {
        RaiseKeyAlreadyPresent();
      }
    }
    entries_.Push(key, std::move(value));
    if (index) {
      index->Add(hash, static_cast<int32_t>(count), [this, start](std::size_t i) {
        return std::u16string_view(entries_.At(start)[i].first);
      });
    }
  }

  // The items of every array being read are gathered on one stack and moved
  // into a list of their exact size when the array ends.
  JsonValue ReadArray(int depth) {
    SkipBlanks();
    if (!At(u'[')) {
      AppendLine({u"Invalid Array at position ", Position(), u" : ", ExcerptFromPosition()});
      return JsonValue(MakeRef<Collection>());
    }
    ++pos_;
    Gathered<JsonValue> items(items_);
    for (;;) {
      SkipBlanks();
      if (At(u']')) {
        ++pos_;
        break;
      }
      if (At(u',')) {
        ++pos_;
        SkipBlanks();
      } else if (AtEnd()) {
        ended_inside_container = true;
        AppendLine({u"Missing ']': ", LastExcerpt()});
        break;
      }
      pending_ = false;
      const std::size_t item_start = pos_;
      ReadMember([&] {
        Decimal number;
        if (ReadPlainNumber(number)) {
          items_.Push(number);
          return;
        }
        JsonValue item = ReadValue(depth);
        items_.Push(std::move(item));
      });
      // Only a misspelt literal reads nothing at a character; reading it
      // again would never end.
      if (!pending_ && pos_ == item_start && !AtEnd()) {
        SetPending(std::u16string(kNoProgressDescription));
      }
      if (pending_) {
        if (AtEnd()) ended_inside_container = true;
        AppendLine({pending_description_, u": ", ExcerptFromPosition()});
        break;
      }
    }
    Ref<Collection> array =
        Collection::FromItems(items_.At(items.start), items_.size() - items.start);
    items.HandedOver();
    return JsonValue(std::move(array));
  }

  // Reads a key up to and including its colon, from a non-blank (the
  // caller skipped blanks). Blanks and quotes are never part of it; there
  // are no escapes. The key is a view of the text, or of `spelled` when it
  // is not one plain run of it.
  std::u16string_view ReadKey(std::u16string& spelled) {
    // Most keys are one plain run in double quotes with the colon right
    // after: taken at once, exactly as the loop below would take them.
    if (At(u'"')) {
      const std::size_t end = FindKeySpecial(p_, pos_ + 1, n_);
      if (end + 1 < n_ && p_[end] == u'"' && p_[end + 1] == u':') {
        const std::u16string_view key = text_.substr(pos_ + 1, end - pos_ - 1);
        pos_ = end + 2;
        return key;
      }
    }
    std::u16string& key = spelled;
    key.clear();
    bool in_double = false;
    bool in_single = false;
    while (pos_ < n_) {
      const char16_t c = p_[pos_];
      switch (c) {
        case u'"':
        case u'\'': {
          ++pos_;
          bool& in_quote = c == u'"' ? in_double : in_single;
          in_quote = !in_quote;
          if (!in_quote) {
            SkipBlanks();
            if (!At(u':')) {
              AppendLine({u"Invalid Key at position ", Position(), u" : ", key});
              return key;
            }
          }
          break;
        }
        case u':':
          ++pos_;
          if (!in_double && !in_single) return key;
          key += u':';
          break;
        case u'\r':
        case u'\n':
        case u'\t':
        case u' ':
          ++pos_;
          break;
        default: {
          const std::size_t start = pos_;
          pos_ = FindKeySpecial(p_, pos_ + 1, n_);
          key.append(p_ + start, pos_ - start);
          break;
        }
      }
    }
    return key;
  }

  // From a non-blank where ReadPlainNumber found no plain number. `depth`
  // is the nesting of the container whose member this is. The readers below
  // start where it found their first character.
  JsonValue ReadValue(int depth) {
    if (AtEnd()) return ReadNumber();
    switch (p_[pos_]) {
      case u'{':
        if (depth >= kMaxNesting) throw NestingTooDeep();
        return ReadObject(depth + 1);
      case u'[':
        if (depth >= kMaxNesting) throw NestingTooDeep();
        return ReadArray(depth + 1);
      case u'"':
      case u'\'':
        return ReadString();
      case u't':
      case u'f':
        return JsonValue(ReadBoolean());
      case u'n':
        return ReadNull();
      default:
        return ReadNumber();
    }
  }

  // At an opening quote, which is also the closing one. A string without
  // escapes is one run of the text, taken as it stands; escapes go through
  // the string builder.
  JsonValue ReadString() {
    const char16_t quote = p_[pos_];
    ++pos_;
    const std::size_t start = pos_;
    pos_ = FindQuoteOrBackslash(p_, pos_, n_, quote);
    std::u16string_view run = text_.substr(start, pos_ - start);
    if (AtEnd()) return JsonValue(run);
    if (p_[pos_] == quote) {
      ++pos_;
      return JsonValue(run);
    }
    return ReadEscapedString(quote, run);
  }

  // The rest of a string from its first backslash, `head` being the text
  // before it.
  JsonValue ReadEscapedString(char16_t quote, std::u16string_view head) {
    cStringBuilder& out = Builder();
    out.Append(head);
    while (pos_ < n_) {
      const char16_t c = p_[pos_];
      if (c == quote) {
        ++pos_;
        break;
      }
      if (c != u'\\') {
        const std::size_t start = pos_;
        pos_ = FindQuoteOrBackslash(p_, pos_, n_, quote);
        out.Append(text_.substr(start, pos_ - start));
        continue;
      }
      ++pos_;
      if (AtEnd()) break;
      switch (p_[pos_]) {
        case u'"':
        case u'\\':
        case u'/':
        case u'\'':
          out.Append(p_[pos_]);
          ++pos_;
          break;
        case u'b':
          out.Append(u'\b');
          ++pos_;
          break;
        case u'f':
          out.Append(u'\f');
          ++pos_;
          break;
        case u'n':
          out.Append(u'\n');
          ++pos_;
          break;
        case u'r':
          out.Append(u'\r');
          ++pos_;
          break;
        case u't':
          out.Append(u'\t');
          ++pos_;
          break;
        case u'u': {
          unsigned value = 0;
          for (std::size_t i = 1; i <= kUnicodeEscapeDigits && pos_ + i < n_; ++i) {
            const int digit = HexDigitValue(p_[pos_ + i]);
            if (digit < 0) break;
            value = value * kHexRadix + static_cast<unsigned>(digit);
          }
          out.Append(static_cast<char16_t>(value));
          // Past the "u" and its four units, even beyond the end of the text.
          pos_ += 1 + kUnicodeEscapeDigits;
          break;
        }
        default:
          // Not an escape: the backslash is dropped and the character read
          // as an ordinary one.
          break;
      }
    }
    return JsonValue(out.View());
  }

  // The parse's one string builder, emptied for each string (its capacity
  // stays, so long strings do not grow it again and again).
  cStringBuilder& Builder() {
    if (!builder_) builder_ = std::make_unique<cStringBuilder>();
    if (builder_->Length() > 0) builder_->Remove(0, builder_->Length());
    return *builder_;
  }

  // Collects the number characters and converts them; Empty when the text
  // ends while collecting. The conversion raises on text that is no number.
  JsonValue ReadNumber() {
    Decimal value;
    if (ReadPlainNumber(value)) return JsonValue(value);
    const std::size_t start = pos_;
    while (pos_ < n_ && IsNumberChar(p_[pos_])) ++pos_;
    if (AtEnd()) return JsonValue();
    return JsonValue(Decimal::FromText(text_.substr(start, pos_ - start)));
  }

  // Most numbers are plain: read and converted in one pass, which gives
  // what the conversion of the collected run would give. From a non-blank
  // (the caller skipped blanks), reads such a number as ReadValue would read
  // it and returns true; returns false having read nothing for anything
  // else (`out` is then unspecified). Containers call it before ReadValue,
  // so that their many numbers go straight in without the general dispatch.
  bool ReadPlainNumber(Decimal& out) {
    const std::size_t plain_end = reader_scan::ScanPlainNumber(p_, pos_, n_, out);
    if (plain_end == pos_ || plain_end >= n_ || IsNumberChar(p_[plain_end])) return false;
    pos_ = plain_end;
    return true;
  }

  bool LiteralAt(std::u16string_view literal) const {
    return n_ - pos_ >= literal.size() && text_.compare(pos_, literal.size(), literal) == 0;
  }

  bool ReadBoolean() {
    constexpr std::u16string_view kTrue = u"true";
    constexpr std::u16string_view kFalse = u"false";
    if (LiteralAt(kTrue)) {
      pos_ += kTrue.size();
      return true;
    }
    if (LiteralAt(kFalse)) {
      pos_ += kFalse.size();
      return false;
    }
    AppendLine({u"Invalid Boolean at position ", Position(), u" : ", Rest()});
    return false;
  }

  JsonValue ReadNull() {
    constexpr std::u16string_view kNull = u"null";
    if (LiteralAt(kNull)) {
      pos_ += kNull.size();
      return JsonValue::Null();
    }
    AppendLine({u"Invalid null value at position ", Position(), u" : ", Rest()});
    return JsonValue();
  }

  // The part of a gathering stack that one container being read has
  // pushed, from `start` on; gone from the stack when the container's
  // reading ends: moved into the container, or destroyed when a failure
  // escapes before.
  template <typename Item>
  struct Gathered {
    explicit Gathered(internal::GatherStack<Item>& on) noexcept : stack(on), start(on.size()) {}
    ~Gathered() {
      if (handed_over) {
        stack.Forget(start);
      } else {
        stack.Truncate(start);
      }
    }
    Gathered(const Gathered&) = delete;
    Gathered& operator=(const Gathered&) = delete;
    void HandedOver() noexcept { handed_over = true; }

    internal::GatherStack<Item>& stack;
    const std::size_t start;
    bool handed_over = false;
  };

  const std::u16string_view text_;
  const char16_t* const p_;
  const std::size_t n_;
  std::size_t pos_ = 0;
  bool pending_ = false;
  std::u16string pending_description_;
  std::unique_ptr<cStringBuilder> builder_;
  // Items of the arrays being read.
  internal::GatherStack<JsonValue> items_;
  // Members of the objects being read.
  internal::GatherStack<DictionaryEntry> entries_;
};

}  // namespace

JsonValue ReadJson(std::u16string_view sText) {
  ResetLog();
  if (sText.size() > kMaxTextLength) {
    AppendLine({u"Text too long: ", DecimalText(sText.size()), u" code units, at most ",
                DecimalText(kMaxTextLength), u" can be read"});
    return JsonValue();
  }
  try {
    internal::ParseArena arena;
    Reader reader(sText);
    return reader.ReadRoot();
  } catch (const std::exception&) {
    // Only memory exhaustion outside any member gets here (the root could
    // not be created, or a failure description could not be kept).
    return JsonValue();
  }
}

JsonValue ReadJsonUtf8(std::string_view bytes) {
  bytes = StripByteOrderMark(bytes);
  struct Buffer {
    std::unique_ptr<char16_t[]> units;
    std::size_t room = 0;
  };
  thread_local Buffer buffer;
  if (buffer.room < bytes.size()) {
    buffer.units.reset();  // the old room goes before the new one is taken
    buffer.room = 0;
    // Left uninitialised: only the units the conversion writes are read.
    buffer.units.reset(new (std::nothrow) char16_t[bytes.size()]);
    if (!buffer.units) {
      // Too large to decode: the reader's own line for a text it cannot take.
      ResetLog();
      try {
        AppendLine({u"Text too large: no memory to decode ", DecimalText(bytes.size()), u" bytes"});
      } catch (const std::exception&) {
        log_full = true;
      }
      return JsonValue();
    }
    buffer.room = bytes.size();
  }
  const std::size_t length = Utf8ToUtf16(bytes, buffer.units.get());
  JsonValue root = ReadJson(std::u16string_view(buffer.units.get(), length));
  if (buffer.room > kKeptUtf8BufferUnits) {
    buffer.units.reset();
    buffer.room = 0;
  }
  return root;
}

const std::u16string& ErrorLog() {
  return LogText();
}

bool EndedInsideContainer() {
  return ended_inside_container;
}

}  // namespace skyvane
