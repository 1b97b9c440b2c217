// Thousands of random GBK-like texts through every scanning operation. Each text lives in
// a heap block of exactly its size, so a read past its end is caught by AddressSanitizer;
// each result is checked against the characters the text really holds.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "text/markers.hpp"
#include "text/primitives.hpp"

namespace quillreap::text {
namespace {

// A text in a heap block of exactly its length, with no terminator behind it.
class ExactText {
 public:
  explicit ExactText(std::string_view s) : size_(s.size()), bytes_(new char[s.size()]) {
    std::copy(s.begin(), s.end(), bytes_.get());
  }
  std::string_view view() const { return {bytes_.get(), size_}; }

 private:
  std::size_t size_;
  std::unique_ptr<char[]> bytes_;
};

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  // Short runs of characters chosen to collide: ASCII bytes that are also trail bytes,
  // spaces of both widths, letters of both cases, now and then a lone lead byte at the end.
  std::string text(int max_chars) {
    static const char* const kAscii[] = {"a", "A", "b", "|", "\\", " ", ",", "<"};
    static const unsigned char kLeads[] = {0x81, 0x83, 0xA1, 0xB0, 0xD6};
    static const unsigned char kTrails[] = {0x41, 0x61, 0x5C, 0x7C, 0xA1, 0xB0, 0x2C, 0x20};
    std::string out;
    const int chars = pick(max_chars + 1);
    for (int i = 0; i < chars; ++i) {
      if (pick(2) == 0) {
        out += kAscii[pick(std::size(kAscii))];
      } else {
        out += static_cast<char>(kLeads[pick(std::size(kLeads))]);
        out += static_cast<char>(kTrails[pick(std::size(kTrails))]);
      }
    }
    if (pick(8) == 0) out += static_cast<char>(kLeads[pick(std::size(kLeads))]);
    return out;
  }
  int pick(std::size_t n) { return static_cast<int>(random_() % n); }

 private:
  std::mt19937 random_;
};

// Offsets where the characters of text start, up to a lone lead byte (not included).
std::vector<std::size_t> char_starts(std::string_view text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size();) {
    const bool lead = static_cast<unsigned char>(text[i]) >= 0x80;
    if (lead && i + 1 == text.size()) break;
    starts.push_back(i);
    i += lead ? 2 : 1;
  }
  return starts;
}

bool stands_at(std::string_view text, std::size_t at, std::string_view sought, bool fold) {
  if (at + sought.size() > text.size()) return false;
  const auto lower = [fold](char c) { return fold && c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
  for (std::size_t k = 0; k < sought.size(); ++k) {
    if (lower(text[at + k]) != lower(sought[k])) return false;
  }
  return true;
}

bool contains(const std::vector<std::size_t>& starts, std::size_t at) {
  return std::binary_search(starts.begin(), starts.end(), at);
}

TEST(RandomScan, EveryMatchIsAWholeCharacterWhereTheBytesStand) {
  Generator gen(20240301);
  for (int round = 0; round < 4000; ++round) {
    const ExactText text(gen.text(24));
    const std::string sought_source =
        gen.pick(2) == 0
            ? gen.text(2)
            : std::string(text.view().substr(gen.pick(text.view().size() + 1), gen.pick(4)));
    const ExactText sought(sought_source);
    const std::string_view t = text.view();
    const std::string_view s = sought.view();
    const bool fold = gen.pick(2) == 0;
    const int start = gen.pick(t.size() + 3) - 1;
    const auto starts = char_starts(t);
    SCOPED_TRACE(::testing::PrintToString(std::string(t)) + " / " +
                 ::testing::PrintToString(std::string(s)));

    // find_text: the first character start at or after the start offset holding s.
    const int found = find_text(t, s, start, fold);
    if (!s.empty() && start <= 1) {
      int expected_first = -1;
      for (std::size_t at : starts) {
        if (stands_at(t, at, s, fold)) {
          expected_first = static_cast<int>(at) + 1;
          break;
        }
      }
      EXPECT_EQ(found, expected_first);
    } else if (!s.empty() && found != -1) {
      const std::size_t at = static_cast<std::size_t>(found - 1);
      const std::size_t from = static_cast<std::size_t>(start - 1);
      EXPECT_TRUE(stands_at(t, at, s, fold));
      // A start offset inside a character begins a walk of its own there.
      ASSERT_GE(at, from);
      EXPECT_TRUE(contains(char_starts(t.substr(from)), at - from));
    }

    // find_text_reverse: the last character start whose match ends before start.
    const int last = find_text_reverse(t, s, std::nullopt, fold);
    int expected_last = -1;
    for (std::size_t at : starts) {
      if (!s.empty() && stands_at(t, at, s, fold)) expected_last = static_cast<int>(at) + 1;
    }
    EXPECT_EQ(last, expected_last);

    // replace_text: every kept byte and every replacement sits where the walk put it.
    const Text replaced = replace_text(t, s, "#", 1, std::nullopt, !fold);
    if (!s.empty() && !t.empty()) {
      Text expected;
      std::size_t i = 0;
      while (i < t.size() && t.size() - i >= s.size()) {
        const bool lead = static_cast<unsigned char>(t[i]) >= 0x80;
        if (lead && i + 1 == t.size()) break;
        if (stands_at(t, i, s, fold)) {
          expected += '#';
          i += s.size();
        } else {
          expected += t.substr(i, lead ? 2 : 1);
          i += lead ? 2 : 1;
        }
      }
      if (i < t.size() && t.size() - i < s.size()) expected += t.substr(i);
      EXPECT_EQ(replaced, expected);
    }

    // split_text: pieces joined by the delimiter give the text back.
    if (!s.empty() && !t.empty()) {
      const TextArray pieces = split_text(t, s);
      Text joined;
      for (std::size_t k = 0; k < pieces.size(); ++k)
        joined += (k ? std::string(s) : "") + pieces[k];
      EXPECT_TRUE(joined == t || joined + std::string(s) == t);
    }

    // Spaces and case: the result is the text with whole characters removed or folded.
    const Text trimmed = trim_spaces(t);
    EXPECT_NE(t.find(trimmed), std::string_view::npos);
    const auto trimmed_starts = char_starts(trimmed);
    if (!trimmed_starts.empty()) {
      EXPECT_NE(trimmed[0], ' ');
      EXPECT_NE(trimmed.compare(0, 2, "\xA1\xA1"), 0);
    }
    const Text removed = remove_all_spaces(t);
    for (std::size_t at : char_starts(removed)) {
      EXPECT_NE(removed[at], ' ');
      EXPECT_FALSE(stands_at(removed, at, "\xA1\xA1", false));
    }
    const Text lower = to_lower(t);
    ASSERT_EQ(lower.size(), t.size());
    for (std::size_t k = 0; k < t.size(); ++k) {
      if (lower[k] != t[k]) {
        EXPECT_TRUE(contains(starts, k));
        EXPECT_TRUE(t[k] >= 'A' && t[k] <= 'Z');
      }
    }

    // The markers: every piece stands in the text, between whole characters.
    if (!s.empty()) {
      TextArray pieces;
      const int count = text_between_all(t, s, "|", pieces, !fold);
      EXPECT_EQ(count, static_cast<int>(pieces.size()));
      for (const Text& piece : pieces) EXPECT_NE(t.find(piece), std::string_view::npos);
      const Text between = text_between(t, s, "<", start, fold);
      EXPECT_NE(t.find(between), std::string_view::npos);
    }
  }
}

}  // namespace
}  // namespace quillreap::text
