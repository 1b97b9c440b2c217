// Marker extraction and cleanup: the different case defaults of the three operations, the
// quote token, the rules for empty and re-marked pieces, and the running replacements.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/markers.hpp"

namespace quillreap::text {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(TextBetween, CutsStrictlyBetweenTheMarkers) {
  EXPECT_EQ(text_between("<b>bold</b>", "<b>", "</b>"), "bold");
  EXPECT_EQ(text_between("<b></b>", "<b>", "</b>"), "");
  EXPECT_EQ(text_between("<b> x </b>", "<b>", "</b>"), " x ");
  EXPECT_EQ(text_between("no markers", "<b>", "</b>"), "");
  EXPECT_EQ(text_between("<b>open", "<b>", "</b>"), "");
  // Only a right marker after the left one counts.
  EXPECT_EQ(text_between("</b> <b>late", "<b>", "</b>"), "");
  EXPECT_EQ(text_between("[a][b]", "[", "]", 3), "b");
  // The search for the left marker begins exactly at start (1-based); 0 means 1.
  for (int start : {0, 1, 2, 3, 4}) {
    const Text expected[] = {"[[[x", "[[[x", "[[x", "[x", "x"};
    EXPECT_EQ(text_between("[[[[x]", "[", "]", start), expected[start]) << start;
  }
  EXPECT_EQ(text_between("中文[书名]", "[", "]"), "书名");
  EXPECT_EQ(text_between("", "[", "]"), "");
  // Empty markers never loop and never cut a piece out of nothing.
  EXPECT_EQ(text_between("abc", "", "c"), "ab");
  EXPECT_EQ(text_between("abc", "a", ""), "");
}

TEST(TextBetween, QuoteTokenStandsForADoubleQuote) {
  const Text link = "<a href=\"x.html\">";
  EXPECT_EQ(text_between(link, "href=#引号", "#引号"), "x.html");
  EXPECT_EQ(text_between("a=\"1\" b=\"2\"", "b=#引号", "#引号"), "2");
  // The other two operations take the token literally.
  TextArray pieces;
  EXPECT_EQ(text_between_all(link, "href=#引号", "#引号", pieces), 0);
  EXPECT_EQ(text_between_all("href=#引号y#引号", "href=#引号", "#引号", pieces), 1);
  EXPECT_THAT(pieces, ElementsAre("y"));
  EXPECT_EQ(replace_many("#引号", std::nullopt, 0, false, "#引号", "q"), "q");
}

TEST(MarkerCase, TheThreeOperationsHaveDifferentDefaults) {
  const Text page = "<TD>cell</TD>";
  EXPECT_EQ(text_between(page, "<td>", "</td>"), "");
  EXPECT_EQ(text_between(page, "<td>", "</td>", 0, true), "cell");
  TextArray pieces;
  EXPECT_EQ(text_between_all(page, "<td>", "</td>", pieces), 1);
  EXPECT_THAT(pieces, ElementsAre("cell"));
  EXPECT_EQ(text_between_all(page, "<td>", "</td>", pieces, true), 0);
  EXPECT_EQ(replace_many("a<BR>b<br>c", std::nullopt, 0, false, "<br>", "\r\n"), "a\r\nb\r\nc");
  EXPECT_EQ(replace_many("a<BR>b<br>c", std::nullopt, 0, true, "<br>", "\r\n"), "a<BR>b\r\nc");
}

TEST(TextBetweenAll, TrimsPiecesAndSkipsEmptyOnes) {
  TextArray pieces{"old"};
  EXPECT_EQ(text_between_all("[a][ 　 ][ b ]", "[", "]", pieces), 2);
  EXPECT_THAT(pieces, ElementsAre("a", "b"));
  EXPECT_EQ(text_between_all("[a][][b]", "[", "]", pieces, false, 0, "", "!"), 3);
  EXPECT_THAT(pieces, ElementsAre("a!", "!", "b!"));
  EXPECT_EQ(text_between_all("[a]", "[", "]", pieces, false, 0, "<", ">"), 1);
  EXPECT_THAT(pieces, ElementsAre("<a>"));
  // Line breaks are not spaces.
  EXPECT_EQ(text_between_all("[\r\nx ]", "[", "]", pieces), 1);
  EXPECT_THAT(pieces, ElementsAre("\r\nx"));
  EXPECT_EQ(text_between_all("nothing here", "[", "]", pieces), 0);
  EXPECT_THAT(pieces, IsEmpty());
}

TEST(TextBetweenAll, PutsBackMarkersAsPassedAndLimitsTheFinishedLength) {
  TextArray pieces;
  EXPECT_EQ(
      text_between_all("<P>x</P><p>y</p>", "<p>", "</p>", pieces, false, 0, "", "", true, true), 2);
  EXPECT_THAT(pieces, ElementsAre("<p>x</p>", "<p>y</p>"));
  EXPECT_EQ(text_between_all("[ab][abc][]", "[", "]", pieces, false, 3), 1);
  EXPECT_THAT(pieces, ElementsAre("ab"));
  // The compared length includes prefix, suffix and the markers put back.
  EXPECT_EQ(text_between_all("[a][ab]", "[", "]", pieces, false, 3, "", "", true, false), 1);
  EXPECT_THAT(pieces, ElementsAre("[a"));
  EXPECT_EQ(text_between_all("[a]", "[", "]", pieces, false, 3, "-", "-"), 0);
}

TEST(TextBetweenAll, SearchesOnFromTheRightMarker) {
  TextArray pieces;
  // The right marker of one piece can be the left marker of the next.
  EXPECT_EQ(text_between_all("xaxbx", "x", "x", pieces), 2);
  EXPECT_THAT(pieces, ElementsAre("a", "b"));
  // After an empty piece the search goes on behind the left marker.
  EXPECT_EQ(text_between_all("xxax", "x", "x", pieces), 1);
  EXPECT_THAT(pieces, ElementsAre("a"));
  EXPECT_EQ(text_between_all("[a][b][c]", "[", "]", pieces, false, 0, "", "", false, false, 4), 2);
  EXPECT_THAT(pieces, ElementsAre("b", "c"));
  EXPECT_EQ(text_between_all("[a][b", "[", "]", pieces), 1);
}

TEST(TextBetweenAll, EmptyMarkersEndAtOnce) {
  TextArray pieces{"stale"};
  EXPECT_EQ(text_between_all("[a][b]", "", "]", pieces), 0);
  EXPECT_THAT(pieces, IsEmpty());
  pieces = {"stale"};
  EXPECT_EQ(text_between_all("[a][b]", "[", "", pieces, false, 0, "p", "s"), 0);
  EXPECT_THAT(pieces, IsEmpty());
  EXPECT_EQ(text_between_all("", "[", "]", pieces), 0);
}

TEST(TextBetweenAll, PumpsEventsAfterEveryMatchedPair) {
  int pumped = 0;
  set_event_pump([&] { ++pumped; });
  TextArray pieces;
  text_between_all("[a][][b][c", "[", "]", pieces);
  set_event_pump({});
  EXPECT_EQ(pumped, 3);
}

TEST(MarkersDoubleByte, MarkersNeverMatchOnATrailByte) {
  // 億 ends in '|', 乗 ends in '\'.
  EXPECT_EQ(text_between("億|甲|", "|", "|"), "甲");
  EXPECT_EQ(text_between("\\乗\\", "\\", "\\"), "乗");
  TextArray pieces;
  EXPECT_EQ(text_between_all("|億|乗|", "|", "|", pieces), 2);
  EXPECT_THAT(pieces, ElementsAre("億", "乗"));
  EXPECT_EQ(replace_many("億|", std::nullopt, 0, false, "|", ""), "億");
}

TEST(ReplaceMany, PairsRunInOrderOnTheRunningText) {
  EXPECT_EQ(replace_many("aa", 1, 0, false, "a", "b", "b", "c"), "ca");
  EXPECT_EQ(replace_many("aa", std::nullopt, 0, false, "a", "b", "b", "c"), "cc");
  // count limits each pair separately.
  EXPECT_EQ(replace_many("aabb", 1, 0, true, "a", "x", "b", "y"), "xayb");
  EXPECT_EQ(replace_many("abab", 0, 0, false, "a", "x"), "abab");
  EXPECT_EQ(replace_many("aaaa", std::nullopt, 3, false, "a", "x"), "aaxx");
  EXPECT_EQ(replace_many("aaaa", std::nullopt, 1, false, "a", "x"), "xxxx");
  // An empty find does nothing; an omitted replacement removes.
  EXPECT_EQ(replace_many("a b", std::nullopt, 0, false, "", "x", " "), "ab");
  EXPECT_EQ(replace_many("1 2 3 4 5 6", std::nullopt, 0, false, "1", "", "2", "", "3", "", "4", "",
                         "5", ""),
            "     6");
}

}  // namespace
}  // namespace quillreap::text
