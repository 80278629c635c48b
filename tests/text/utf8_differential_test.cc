// Utf8ToUtf16, both ways of calling it, against the plain byte-at-a-time
// decoder it replaced: they must give the same code units for any bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/text/utf8_reference.h"
#include "text/utf.h"

namespace skyvane {
namespace {

// Pieces that random strings are assembled from: every kind of sequence the
// decoder tells apart, well-formed or not.
const std::vector<std::string>& Pieces() {
  static const std::vector<std::string> pieces = {
      // well-formed, at the edges of each length
      "\x7F", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xEC\xBF\xBF", "\xED\x9F\xBF",
      "\xEE\x80\x80", "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF3\xBF\xBF\xBF", "\xF4\x8F\xBF\xBF",
      "\xE4\xB8\xAD",  // CJK
      // overlong forms
      "\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xE0\x9F\xBF", "\xF0\x80\x80\x80",
      "\xF0\x8F\xBF\xBF",
      // UTF-8-encoded surrogates, lone and paired
      "\xED\xA0\x80", "\xED\xBF\xBF", "\xED\xA0\xBD\xED\xB8\x80",
      // past U+10FFFF, and the old five- and six-byte forms
      "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xF7\xBF\xBF\xBF", "\xF8\x88\x80\x80\x80",
      "\xFB\xBF\xBF\xBF\xBF", "\xFC\x84\x80\x80\x80\x80", "\xFD\xBF\xBF\xBF\xBF\xBF",
      // cut sequences, stray continuations and bytes that start nothing
      "\xC3", "\xE2\x82", "\xE2", "\xF0\x9F\x98", "\xF0\x9F", "\xF1", "\x80", "\xBF", "\xFE",
      "\xFF", std::string(1, '\0')};
  return pieces;
}

void ExpectSame(const std::string& bytes, const std::string& what) {
  const std::u16string expected = reference::Utf8ToUtf16(bytes);
  const std::u16string actual = Utf8ToUtf16(bytes);
  // The decoding into caller-owned room, given exactly the room it asks for
  // (so that the sanitizers see any write past it).
  std::vector<char16_t> room(bytes.size());
  const std::u16string_view into(room.data(), Utf8ToUtf16(bytes, room.data()));
  if (actual == expected && into == expected) return;
  std::string hex;
  for (const char c : bytes.substr(0, 64)) {
    constexpr const char* kDigits = "0123456789ABCDEF";
    const auto b = static_cast<unsigned char>(c);
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
    hex += ' ';
  }
  ADD_FAILURE() << what << ": " << bytes.size() << " bytes, first: " << hex;
}

// Every string of up to two bytes, and every string of three and four bytes
// over the bytes at the edges of the lead and continuation ranges.
TEST(Utf8Differential, ShortStringsExhaustively) {
  for (int a = 0; a < 256; ++a) {
    ExpectSame(std::string(1, static_cast<char>(a)), "one byte");
    for (int b = 0; b < 256; ++b) {
      ExpectSame({static_cast<char>(a), static_cast<char>(b)}, "two bytes");
    }
  }
  const unsigned char edges[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0,
                                 0xC1, 0xC2, 0xDF, 0xE0, 0xE1, 0xEC, 0xED, 0xEE, 0xEF, 0xF0,
                                 0xF1, 0xF3, 0xF4, 0xF5, 0xF7, 0xF8, 0xFB, 0xFC, 0xFE, 0xFF};
  std::string bytes(4, '\0');
  for (const unsigned char a : edges) {
    for (const unsigned char b : edges) {
      for (const unsigned char c : edges) {
        bytes.assign({static_cast<char>(a), static_cast<char>(b), static_cast<char>(c)});
        ExpectSame(bytes, "three bytes");
        for (const unsigned char d : edges) {
          bytes.push_back(static_cast<char>(d));
          ExpectSame(bytes, "four bytes");
          bytes.pop_back();
        }
      }
    }
  }
}

// Runs of ASCII of every length around the 16-byte blocks, with each piece
// before, after and between them, so that a non-ASCII byte falls at every
// place in a block and every distance from the end.
TEST(Utf8Differential, AsciiRunsAroundBlockEdges) {
  constexpr size_t kLongest = 50;
  for (const std::string& piece : Pieces()) {
    for (size_t before = 0; before <= kLongest; ++before) {
      for (size_t after = 0; after <= kLongest; after += (after < 20 ? 1 : 7)) {
        const std::string run_before(before, 'a');
        const std::string run_after(after, 'z');
        ExpectSame(run_before + piece + run_after, "ascii, piece, ascii");
        ExpectSame(piece + run_before + piece + run_after + piece, "piece between runs");
      }
    }
  }
}

TEST(Utf8Differential, RandomStrings) {
  std::mt19937 random(20261209);
  const std::vector<std::string>& pieces = Pieces();
  std::uniform_int_distribution<size_t> pick(0, pieces.size() - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> kind(0, 10);
  std::uniform_int_distribution<size_t> run_length(0, 40);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    const size_t parts = std::uniform_int_distribution<size_t>(0, 24)(random);
    for (size_t part = 0; part < parts; ++part) {
      const int k = kind(random);
      if (k < 4) {
        bytes += pieces[pick(random)];
      } else if (k < 7) {
        bytes.append(run_length(random), static_cast<char>(byte(random) & 0x7F));
      } else if (k < 8) {
        bytes += static_cast<char>(byte(random));  // any byte at all
      } else if (k < 9) {
        // A run of three-byte sequences, as in CJK text, with now and then
        // an overlong form, a surrogate or a cut one among them.
        const char* const threes[] = {"\xE4\xB8\xAD", "\xE9\xBF\xBF", "\xE0\xA0\x80",
                                      "\xEF\xBF\xBF", "\xED\x9F\xBF", "\xE3\x81\x82",
                                      "\xE0\x9F\xBF", "\xED\xA0\x80", "\xE2\x82"};
        std::uniform_int_distribution<size_t> three(0, std::size(threes) - 1);
        for (size_t i = run_length(random); i > 0; --i) {
          bytes += threes[i % 5 == 0 ? three(random) : 0];
        }
      } else {
        // A well-formed code point of any length (surrogates excluded).
        char32_t cp = std::uniform_int_distribution<char32_t>(0, 0x10FFFF)(random);
        if (cp >= 0xD800 && cp <= 0xDFFF) cp -= 0x800;
        AppendUtf8(bytes, cp);
      }
    }
    // Now and then cut the string anywhere, so that it may end mid-sequence.
    if (round % 3 == 0 && !bytes.empty()) {
      bytes.resize(std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(random));
    }
    ExpectSame(bytes, "random round " + std::to_string(round));
    if (HasFailure()) return;
  }
}

// Every file that comes with the source: JSON documents, scripts, sources.
TEST(Utf8Differential, FilesOfTheSourceTree) {
  size_t files = 0;
  for (const char* folder : {"tests", "bench/data", "data", "fuzz/seeds"}) {
    const std::filesystem::path root = std::filesystem::path(SKYVANE_SOURCE_DIR) / folder;
    if (!std::filesystem::is_directory(root)) continue;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
      ExpectSame(bytes, entry.path().string());
      ++files;
    }
  }
  EXPECT_GT(files, 50u);
}

}  // namespace
}  // namespace skyvane
