// The text primitives: byte counts and 1-based positions, the double-byte rule of every
// scanning operation, ASCII-only case folding, and the edge values of each operation.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>

#include "text/primitives.hpp"

namespace quillreap::text {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// GBK characters whose trail byte is an ASCII sign: 乗 = 0x81 0x5C ('\'),
// 億 = 0x83 0x7C ('|'), 丄 = 0x81 0x41 ('A'), 乤 = 0x81 0x61 ('a').
static_assert(sizeof("乗") == 3 && "乗"[1] == '\\');
static_assert(sizeof("億") == 3 && "億"[1] == '|');
static_assert(sizeof("丄") == 3 && "丄"[1] == 'A');

TEST(TextCut, CountsBytesAndCutsOutOfRangeToEmpty) {
  EXPECT_EQ(text_length("中文ab"), 6);
  EXPECT_EQ(text_left("ab", 5), "ab");
  EXPECT_EQ(text_left("ab", -1), "");
  EXPECT_EQ(text_right("abc", 2), "bc");
  EXPECT_EQ(text_right("ab", 0), "");
  EXPECT_EQ(text_right("ab", 9), "ab");
  EXPECT_EQ(text_mid("abcdef", 3, 10), "cdef");
  EXPECT_EQ(text_mid("abc", 0, 2), "");
  EXPECT_EQ(text_mid("abc", 4, 1), "");
  EXPECT_EQ(text_mid("abc", 3, 0), "");
  // Cutting by count may split a two-byte character.
  EXPECT_EQ(text_left("中文", 3), "中\xCE");
  EXPECT_EQ(text_mid("中文", 2, 2), "\xD0\xCE");
}

TEST(FindText, PositionsCountFromTheWholeText) {
  EXPECT_EQ(find_text("abc", ""), 1);
  EXPECT_EQ(find_text("abc", "", 3), 1);
  EXPECT_EQ(find_text("", ""), -1);
  EXPECT_EQ(find_text("", "a"), -1);
  EXPECT_EQ(find_text("abc", "c", 4), -1);
  EXPECT_EQ(find_text("abcabc", "b", 3), 5);
  EXPECT_EQ(find_text("abcabc", "b", -7), 2);
  EXPECT_EQ(find_text("abc", "abcd"), -1);
  EXPECT_EQ(find_text("中文字", "字"), 5);
}

TEST(FindText, IgnoreCaseFoldsAsciiLettersOnly) {
  EXPECT_EQ(find_text("AbC", "abc", 1, true), 1);
  EXPECT_EQ(find_text("AbC", "abc", 1, false), -1);
  EXPECT_EQ(find_text("x[Y]", "[y]", 1, true), 2);
  // Full-width Ａ and ａ are different characters, folded or not.
  EXPECT_EQ(find_text("Ａ", "ａ", 1, true), -1);
  // '@' and '`' sit next to the letters but are not letters.
  EXPECT_EQ(find_text("@", "`", 1, true), -1);
}

TEST(FindTextReverse, FindsTheLastMatchEndingBeforeStart) {
  EXPECT_EQ(find_text_reverse("a.b.c", "."), 4);
  EXPECT_EQ(find_text_reverse("a.b.c", ".", 4), 2);
  EXPECT_EQ(find_text_reverse("a.b.c", ".", 1), -1);
  EXPECT_EQ(find_text_reverse("a.b.c", ".", 99), 4);
  EXPECT_EQ(find_text_reverse("a.b.c", "x"), -1);
  EXPECT_EQ(find_text_reverse("", "."), -1);
  // The match must end inside the first start-1 bytes.
  EXPECT_EQ(find_text_reverse("abcbc", "bc", 5), 2);
  EXPECT_EQ(find_text_reverse("abcbc", "bc", 6), 4);
  EXPECT_EQ(find_text_reverse("AbAB", "ab", std::nullopt, true), 3);
}

TEST(ReplaceText, CaseRuleStartCountAndNoRescan) {
  EXPECT_EQ(replace_text("aXbxc", "x", "-", 1, std::nullopt, false), "a-b-c");
  EXPECT_EQ(replace_text("aXbxc", "x", "-", 1, std::nullopt, true), "aXb-c");
  // What was just put in is never searched again.
  EXPECT_EQ(replace_text("aaa", "a", "aa", 1, std::nullopt, true), "aaaaaa");
  EXPECT_EQ(replace_text("aaaa", "aa", "a", 1, std::nullopt, true), "aa");
  EXPECT_EQ(replace_text("abc", "", "x", 1, std::nullopt, true), "abc");
  EXPECT_EQ(replace_text("", "a", "x", 1, std::nullopt, true), "");
  EXPECT_EQ(replace_text("abab", "a", "", 1, std::nullopt, true), "bb");
  EXPECT_EQ(replace_text("abab", "a", "x", 2, std::nullopt, true), "abxb");
  EXPECT_EQ(replace_text("abab", "a", "x", 5, std::nullopt, true), "abab");
  EXPECT_EQ(replace_text("aaaa", "a", "x", 1, 2, true), "xxaa");
  EXPECT_EQ(replace_text("aaaa", "a", "x", 1, 0, true), "aaaa");
  EXPECT_EQ(replace_text("aaaa", "a", "x", 1, -1, true), "aaaa");
}

TEST(SplitText, KeepsInnerEmptyPiecesAndDropsAnEmptyLastOne) {
  EXPECT_THAT(split_text("a,,b"), ElementsAre("a", "", "b"));
  EXPECT_THAT(split_text(",a"), ElementsAre("", "a"));
  EXPECT_THAT(split_text("a,b,"), ElementsAre("a", "b"));
  EXPECT_THAT(split_text(","), ElementsAre(""));
  EXPECT_THAT(split_text("a\r\nb\r\n", "\r\n"), ElementsAre("a", "b"));
  EXPECT_THAT(split_text(""), IsEmpty());
  EXPECT_THAT(split_text("x", ""), ElementsAre("x"));
  EXPECT_THAT(split_text("aXbxc", "x"), ElementsAre("aXb", "c"));
  EXPECT_THAT(split_text("a,b,c,d", ",", 2), ElementsAre("a", "b"));
  EXPECT_THAT(split_text("a,b", ",", 5), ElementsAre("a", "b"));
  EXPECT_THAT(split_text("a,b", ",", 0), IsEmpty());
  EXPECT_THAT(split_text("a,b", ",", -3), IsEmpty());
}

TEST(Spaces, TrimAndRemoveTakeHalfAndFullWidthSpacesOnly) {
  EXPECT_EQ(trim_spaces("　 ab c 　"), "ab c");
  EXPECT_EQ(trim_spaces("\tab\r\n"), "\tab\r\n");
  EXPECT_EQ(trim_spaces("  　 "), "");
  EXPECT_EQ(trim_spaces(""), "");
  EXPECT_EQ(remove_all_spaces(" a　b c　"), "abc");
  EXPECT_EQ(remove_all_spaces("a\tb\n"), "a\tb\n");
  EXPECT_EQ(spaces(3), "   ");
  EXPECT_EQ(spaces(0), "");
  EXPECT_EQ(spaces(-2), "");
}

TEST(ToLower, FoldsAsciiCapitalsOnly) {
  EXPECT_EQ(to_lower("HTTPS://Ab.COM/X"), "https://ab.com/x");
  EXPECT_EQ(to_lower("ＡＢ中"), "ＡＢ中");
}

// Every scanning operation walks whole characters: a byte that equals the sought one but
// is the trail of a two-byte character is never a match.
TEST(DoubleByteRule, NoScanMatchesOnATrailByte) {
  EXPECT_EQ(find_text("\xD6\xD0\xCE\xC4", "\xD0\xCE"), -1);  // 中文
  EXPECT_EQ(find_text("乗\\", "\\"), 3);
  EXPECT_EQ(find_text("a億b", "|"), -1);
  EXPECT_EQ(find_text("乗", "\\"), -1);
  // A start inside a character starts the walk there.
  EXPECT_EQ(find_text("乗\\", "\\", 2), 2);
  EXPECT_EQ(find_text("丄", "a", 1, true), -1);
  EXPECT_EQ(find_text("乤", "A", 1, true), -1);

  EXPECT_EQ(find_text_reverse("|億億", "|"), 1);
  EXPECT_EQ(find_text_reverse("乗乗", "\\"), -1);
  EXPECT_EQ(find_text_reverse("a\\乗b", "\\", 5), 2);

  EXPECT_EQ(replace_text("億|億", "|", "-", 1, std::nullopt, true), "億-億");
  EXPECT_EQ(replace_text("乗\\", "\\", "/", 1, std::nullopt, true), "乗/");
  EXPECT_EQ(replace_text("丄A", "a", "b", 1, std::nullopt, false), "丄b");

  EXPECT_THAT(split_text("億|乗\\x", "|"), ElementsAre("億", "乗\\x"));
  EXPECT_THAT(split_text("乗\\乗", "\\"), ElementsAre("乗", "乗"));

  // Any byte but zero may trail a lead byte, a space too: 0x81 0x20 is one character.
  EXPECT_EQ(trim_spaces("a\x81 "), "a\x81 ");
  EXPECT_EQ(remove_all_spaces("\x81 b"), "\x81 b");
  // 啊 (0xB0 0xA1) and 、 (0xA1 0xA2) hold 0xA1 0xA1 across their border: no space there.
  EXPECT_EQ(remove_all_spaces("啊、"), "啊、");
  EXPECT_EQ(trim_spaces("　啊、"), "啊、");

  EXPECT_EQ(to_lower("丄乤A"), "丄乤a");
}

// A lead byte at the very end of a text is not a character; each operation says what
// becomes of it.
TEST(DoubleByteRule, LoneLeadByteEndsTheWalk) {
  EXPECT_EQ(find_text("ab\xB0", "\xB0"), -1);
  EXPECT_EQ(find_text_reverse("ab\xB0", "\xB0"), -1);
  // Reached by the walk it is dropped; left behind the walk it stays.
  EXPECT_EQ(replace_text("ab\xB0", "b", "c", 1, std::nullopt, true), "ac");
  EXPECT_EQ(replace_text("ab\xB0", "xy", "z", 1, std::nullopt, true), "ab\xB0");
  EXPECT_THAT(split_text("a,\xB0"), ElementsAre("a", "\xB0"));
  EXPECT_EQ(trim_spaces(" a \xB0"), "a ");
  // 啊 followed by a lone 0xA1: the last two bytes are no full-width space.
  EXPECT_EQ(trim_spaces("a啊\xA1"), "a啊");
  EXPECT_EQ(remove_all_spaces("a \xB0"), "a");
  EXPECT_EQ(to_lower("A\xC1"), "a\xC1");
}

TEST(ToInt, ReadsTheLeadingIntegerAfterFullWidthForms) {
  EXPECT_EQ(to_int("８０"), 80);
  EXPECT_EQ(to_int("x1"), 0);
  EXPECT_EQ(to_int(""), 0);
  EXPECT_EQ(to_int("-"), 0);
  EXPECT_EQ(to_int("  \t42abc"), 42);
  EXPECT_EQ(to_int("+7"), 7);
  EXPECT_EQ(to_int("－１２"), -12);
  EXPECT_EQ(to_int("　＋３４５６"), 3456);
  EXPECT_EQ(to_int("１２３页"), 123);
  EXPECT_EQ(to_int("8080/"), 8080);
  EXPECT_EQ(to_int("2147483647"), INT_MAX);
  EXPECT_EQ(to_int("-2147483648"), INT_MIN);
  EXPECT_EQ(to_int("99999999999999999999"), INT_MAX);
  EXPECT_EQ(to_int("-99999999999999999999"), INT_MIN);
}

TEST(Values, CharsComparisonJoiningAndBitOr) {
  EXPECT_EQ(char_of(0), "");
  EXPECT_EQ(char_of('A'), "A");
  EXPECT_EQ(char_of(0xB0), "\xB0");
  EXPECT_EQ(text_equal("", ""), 0);
  EXPECT_EQ(text_equal("abc", "abc"), 0);
  EXPECT_LT(text_equal("abc", "abd"), 0);
  EXPECT_GT(text_equal("abc", "ab"), 0);
  EXPECT_NE(text_equal("ABC", "abc"), 0);
  // Bytes compare unsigned: a GBK byte sorts after every ASCII byte.
  EXPECT_GT(text_equal("中", "z"), 0);
  EXPECT_EQ(concat(Text("a"), std::string_view(""), "中", Text()), "a中");
  EXPECT_EQ(bit_or(1, 4, 0x10), 0x15);
  EXPECT_EQ(bit_or(0x80000000u, 1), INT_MIN + 1);
}

TEST(ByteBuffers, ConvertCutAndReadTexts) {
  EXPECT_EQ(to_text(Bytes{'a', 0, 'b'}), "a");
  EXPECT_EQ(to_text(Bytes{}), "");
  EXPECT_EQ(to_text(Bytes{0xD6, 0xD0}), "中");
  EXPECT_TRUE(to_bytes("").empty());
  EXPECT_EQ(bytes_length(to_bytes("")), 0);
  EXPECT_EQ(to_bytes("中a"), (Bytes{0xD6, 0xD0, 'a'}));
  EXPECT_EQ(bytes_left(Bytes{1, 2, 3}, 2), (Bytes{1, 2}));
  EXPECT_EQ(bytes_left(Bytes{1, 2, 3}, 9), (Bytes{1, 2, 3}));
  EXPECT_TRUE(bytes_left(Bytes{1, 2, 3}, 0).empty());
  EXPECT_EQ(zero_bytes(3), (Bytes{0, 0, 0}));
  EXPECT_TRUE(zero_bytes(-1).empty());
  const Bytes block{'a', 'b', 0, 'c', 'd'};
  EXPECT_EQ(bytes_read_value(block, kValueText), "ab");
  EXPECT_EQ(bytes_read_value(block, kValueText, 4), "cd");
  EXPECT_EQ(bytes_read_value(block, kValueText, 3), "");
  EXPECT_EQ(bytes_read_value(block, kValueText, 6), "");
  EXPECT_EQ(bytes_read_value(block, kValueText, 0), "");
}

}  // namespace
}  // namespace quillreap::text
