// --chapters and --last as typed, laid over an index of ten chapters: which positions they
// take, which run past the end, and which are no range at all.
#include <gtest/gtest.h>

#include "download/chapter_range.hpp"

namespace quillreap::download {
namespace {

TEST(ChapterRangeTest, ReadsRangesAndLaysThemOverTheIndex) {
  enum Outcome { kPart, kPastTheEnd, kNoRange };
  struct Case {
    bool last;  // --last rather than --chapters
    std::string_view typed;
    Outcome outcome;
    books::BookPart part;
  };
  const Case cases[] = {
      {false, "3-7", kPart, {3, 7}},     {false, "1-1", kPart, {1, 1}},
      {false, "10-10", kPart, {10, 10}}, {false, "4-", kPart, {4, 10}},
      {false, "8-99", kPart, {8, 10}},   {false, "11-", kPastTheEnd, {}},
      {false, "11-12", kPastTheEnd, {}}, {true, "3", kPart, {8, 10}},
      {true, "10", kPart, {1, 10}},      {true, "25", kPart, {1, 10}},
      {false, "0-3", kNoRange, {}},      {false, "7-3", kNoRange, {}},
      {false, "5", kNoRange, {}},        {false, "-5", kNoRange, {}},
      {false, "", kNoRange, {}},         {false, "a-b", kNoRange, {}},
      {false, "3-4-5", kNoRange, {}},    {false, "+3-4", kNoRange, {}},
      {false, "3 -4", kNoRange, {}},     {false, "3-99999999999", kNoRange, {}},
      {true, "0", kNoRange, {}},         {true, "-2", kNoRange, {}},
      {true, "3-", kNoRange, {}},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(std::string(each.last ? "--last " : "--chapters ") + std::string(each.typed));
    const std::optional<ChapterRange> range =
        each.last ? parse_last_chapters(each.typed) : parse_chapter_range(each.typed);
    ASSERT_EQ(range.has_value(), each.outcome != kNoRange);
    if (!range) continue;
    const std::optional<books::BookPart> part = part_of(*range, 10);
    ASSERT_EQ(part.has_value(), each.outcome == kPart);
    if (part) {
      EXPECT_EQ(*part, each.part);
    }
  }
}

}  // namespace
}  // namespace quillreap::download
