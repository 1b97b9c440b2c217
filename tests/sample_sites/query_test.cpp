// Search words as the sample sites read them: raw GBK in the query, matched only on
// character boundaries, and the service's marks placed around the same characters in UTF-8.
#include <gtest/gtest.h>

#include "tools/sample-sites/query.hpp"

namespace quillreap::sample_sites {
namespace {

TEST(SampleSitesQuery, ValueRunsToTheLastNextKey) {
  EXPECT_EQ(query_value("/cse/search?q=西游&s=1&nsid=&entry=1", "q", "s"), "西游");
  EXPECT_EQ(query_value("/cse/search?q=a&s=b#c&s=1&nsid=", "q", "s"), "a&s=b#c");
  EXPECT_EQ(query_value("/cse/search?q=a&s=b#c&s=1&nsid=", "s", "nsid"), "1");
  EXPECT_EQ(query_value("/cse/search?q=a%20b%2x&s=1", "q", "s"), "a b%2x");
  EXPECT_EQ(query_value("/cse/search?q=&s=1", "q", "s"), "");
  EXPECT_EQ(query_value("/cse/search", "q", "s"), "");
  EXPECT_EQ(query_value("/B/S.aspx?SearchKey=三国&SearchClass=1", "SearchKey", "SearchClass"),
            "三国");
}

TEST(SampleSitesQuery, MatchStartsOnCharacterBoundaries) {
  const std::string name = "西游记";  // CE F7 D3 CE BC C7
  EXPECT_EQ(find_in_gbk(name, "游记"), 2u);
  EXPECT_EQ(find_in_gbk(name, name.substr(1, 2)), std::string::npos);  // F7 D3 straddles
  EXPECT_EQ(find_in_gbk("謀a", "\\"), std::string::npos);              // 0x5C only as a trail byte
  EXPECT_EQ(find_in_gbk("ABC水浒", "bc"), 1u);
  EXPECT_EQ(find_in_gbk(name, ""), 0u);
  EXPECT_EQ(find_in_gbk(name, "红楼"), std::string::npos);
}

TEST(SampleSitesQuery, MarksTheSameCharactersInUtf8) {
  const std::string gbk = "a西游记";
  const std::string utf8 = reinterpret_cast<const char*>(u8"a西游记");
  EXPECT_EQ(mark_utf8(utf8, gbk, 3, 4, "<em>", "</em>"),
            reinterpret_cast<const char*>(u8"a西<em>游记</em>"));
  EXPECT_EQ(mark_utf8(utf8, gbk, 0, 1, "<EM>", "</EM>"),
            reinterpret_cast<const char*>(u8"<EM>a</EM>西游记"));
}

}  // namespace
}  // namespace quillreap::sample_sites
