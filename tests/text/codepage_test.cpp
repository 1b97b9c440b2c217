// UTF-8 to GBK and back: real pages from the fixtures, characters outside GBK, zero bytes
// and broken input. Both platforms write Windows' code page 936 (Linux from the table
// recorded from it); the search page's expected GBK was made with an independent converter,
// the code-page page's from what Windows itself wrote.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/golden_book.hpp"
#include "text/codepage.hpp"

namespace quillreap::text {
namespace {

std::string fixture(const char* name) {
  const std::string bytes = test_support::fixture_bytes(std::string("text/") + name);
  EXPECT_FALSE(bytes.empty()) << name;
  return bytes;
}

Bytes bytes_of(std::string_view s) {
  return Bytes(s.begin(), s.end());
}

// What each platform's converter makes of an emoji and of a cut-off UTF-8 sequence.
// Windows goes through UTF-16: one '?' for each of the emoji's two units, and one for
// the whole cut-off sequence. The Linux decoding gives one '?' per code point and per
// broken byte.
#ifdef _WIN32
const Text kEmoji = "??";
const Text kCutSequence = "?";
const char* const kExpectedPage = "search_page.gbk-windows.txt";
#else
const Text kEmoji = "?";
const Text kCutSequence = "??";
const char* const kExpectedPage = "search_page.gbk.txt";
#endif

TEST(Utf8ToAnsi, ShortTexts) {
  EXPECT_EQ(utf8_to_ansi(Bytes{}), "");
  EXPECT_EQ(utf8_to_ansi(std::string_view()), "");
  const std::string ascii = "<a href=\"/1/index.html\">Book 1</a>\r\n\t~!@#$%^&*()";
  EXPECT_EQ(utf8_to_ansi(bytes_of(ascii)), ascii);
  // 暂无简介 in UTF-8: four characters, twelve bytes; in GBK eight bytes.
  const Text intro = utf8_to_ansi(bytes_of("\xE6\x9A\x82\xE6\x97\xA0\xE7\xAE\x80\xE4\xBB\x8B"));
  EXPECT_EQ(intro, "暂无简介");
  EXPECT_EQ(intro.size(), 8u);
  EXPECT_EQ(utf8_to_ansi(std::string_view("\xE4\xB8\xAD\xE6\x96\x87")), "中文");
  // Chinese punctuation keeps its GBK forms: ，。“”——……
  EXPECT_EQ(utf8_to_ansi(bytes_of("\xEF\xBC\x8C\xE3\x80\x82\xE2\x80\x9C\xE2\x80\x9D"
                                  "\xE2\x80\x94\xE2\x80\x94\xE2\x80\xA6\xE2\x80\xA6")),
            "，。“”——……");
}

TEST(Utf8ToAnsi, AZeroByteEndsTheText) {
  EXPECT_EQ(utf8_to_ansi(Bytes{'a', 'b', 0, 'c'}), "ab");
  EXPECT_EQ(utf8_to_ansi(Bytes{0, 'c'}), "");
  EXPECT_EQ(utf8_to_ansi(bytes_of(std::string("\xE4\xB8\xAD\0\xE6\x96\x87", 7))), "中");
}

TEST(Utf8ToAnsi, CharactersOutsideGbkBecomeTheDefaultCharacter) {
  // U+00A0 (what a page's &nbsp; becomes) is not in GBK.
  EXPECT_EQ(utf8_to_ansi(bytes_of("a\xC2\xA0"
                                  "b")),
            "a?b");
  // An emoji: the characters around it come through whole.
  EXPECT_EQ(utf8_to_ansi(bytes_of("\xE4\xB8\xAD\xF0\x9F\x98\x80\xE6\x96\x87")),
            "中" + kEmoji + "文");
}

TEST(Utf8ToAnsi, BrokenUtf8DoesNotHarmWhatFollows) {
  const Text stray =
      utf8_to_ansi(bytes_of("a\xFF"
                            "b\x80"
                            "c"));
  EXPECT_EQ(stray, "a?b?c");
  const Text cut =
      utf8_to_ansi(bytes_of("\xE4\xB8"
                            "A\xE4\xB8\xAD"));
  EXPECT_EQ(cut, kCutSequence + "A中");
}

TEST(Utf8ToAnsi, ConvertsARealPageWhole) {
  const std::string page = fixture("search_page.utf8.html");
  const std::string expected = fixture(kExpectedPage);
  ASSERT_GT(page.size(), 300000u);
  const Text converted = utf8_to_ansi(bytes_of(page));
  ASSERT_EQ(converted.size(), expected.size());
  EXPECT_TRUE(converted == expected);
}

// Where Windows does more than plain GBK: a near GBK character for one GBK lacks (best
// fit), the user-defined areas as the private use area, and the euro sign as 0x80.
TEST(Utf8ToAnsi, WritesWhatWindowsWritesWhereGbkEnds) {
  EXPECT_EQ(utf8_to_ansi(bytes_of("\xC3\x80")), "\xA8\xA4");      // À as à
  EXPECT_EQ(utf8_to_ansi(bytes_of("\xC3\x89")), "\xA8\xA6");      // É as é
  EXPECT_EQ(utf8_to_ansi(bytes_of("\xC2\xB2")), "2");             // ²
  EXPECT_EQ(utf8_to_ansi(bytes_of("\xC2\xA2")), "\xA1\xE9");      // ¢ as ￠
  EXPECT_EQ(utf8_to_ansi(bytes_of("\xEE\x80\x80")), "\xAA\xA1");  // U+E000
  EXPECT_EQ(utf8_to_ansi(bytes_of("\xEF\xA3\xB5")), "\xFF");      // U+F8F5, one way only
  EXPECT_EQ(utf8_to_ansi(bytes_of("\xEF\xA3\xBF")), "?");         // U+F8FF, beyond those areas
  EXPECT_EQ(utf8_to_ansi(bytes_of("1\xE2\x82\xAC")), "1\x80");    // €
}

TEST(Utf8ToAnsi, APageOfCharactersGbkLacksComesOutAsOnWindows) {
  const std::string page = fixture("cp936_page.utf8.html");
  const std::string expected = fixture("cp936_page.gbk.txt");
  ASSERT_GT(page.size(), 5000u);
  EXPECT_TRUE(utf8_to_ansi(bytes_of(page)) == expected);
  // Read back, best fit does not return, and 0xFF (what U+F8F5 becomes) is no character.
  EXPECT_TRUE(ansi_to_utf8(expected) == fixture("cp936_page.back.utf8.html"));
}

TEST(AnsiToUtf8, ReadsUserDefinedAreasAndTheEuroSign) {
  EXPECT_EQ(ansi_to_utf8("\xAA\xA1"), "\xEE\x80\x80");
  EXPECT_EQ(ansi_to_utf8("\xFE\xFE"), "\xEE\x93\x85");  // U+E4C5
  EXPECT_EQ(ansi_to_utf8("\x80"), "\xE2\x82\xAC");
  // 0x80 stands alone: a lead byte behind it, cut off, does not take it along, even when
  // other bytes in the text are not GBK either.
  EXPECT_EQ(ansi_to_utf8("\x80\x81"), "\xE2\x82\xAC?");
  EXPECT_EQ(ansi_to_utf8("\x80\x81\x40\xFF"), "\xE2\x82\xAC\xE4\xB8\x82?");
  EXPECT_EQ(ansi_to_utf8("\xFF\xFF"), "??");
}

TEST(AnsiToUtf8, RoundTripsGbkAndMarksBrokenBytes) {
  EXPECT_EQ(ansi_to_utf8(""), "");
  EXPECT_EQ(ansi_to_utf8("abc"), "abc");
  EXPECT_EQ(ansi_to_utf8("中文，"), "\xE4\xB8\xAD\xE6\x96\x87\xEF\xBC\x8C");
  EXPECT_EQ(ansi_to_utf8("a\xFF"
                         "b"),
            "a?b");
  EXPECT_EQ(ansi_to_utf8("\x81"
                         "0x"),
            "?0x");
  EXPECT_EQ(ansi_to_utf8("ab\xB0"), "ab?");
  const std::string gbk = fixture("search_page.gbk.txt");
  EXPECT_TRUE(utf8_to_ansi(ansi_to_utf8(gbk)) == gbk);
}

}  // namespace
}  // namespace quillreap::text
