// The controller end to end against the bundled sample sites: both searches fill the list
// and say so, and a hit generated from the list becomes the expected book file.
#include <gtest/gtest.h>

#include "books/status_texts.hpp"
#include "sites/status_texts.hpp"
#include "tests/app/controller_fixture.hpp"
#include "tests/support/golden_book.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap::app {
namespace {

using test_support::golden_book;

class SampleSitesTest : public ControllerTest {
 protected:
  SampleSitesTest() { config_ = sites_.config(); }

  void search(int choice, const std::string& word) {
    controls_.set_search_word(word);
    controls_.set_source_choice(choice);
    controller().on_search();
  }

  sample_sites::SampleSites sites_;
};

TEST_F(SampleSitesTest, SourceOneSearchListsTheHitsAndSelectsTheFirst) {
  search(0, "西游");
  ASSERT_EQ(controls_.row_count(), 2);
  const std::vector<Row> rows = controls_.rows();
  EXPECT_EQ(rows[0][1], "西游记");
  EXPECT_EQ(rows[0][3], "吴承恩");
  EXPECT_EQ(rows[1][1], "西游补");
  EXPECT_EQ(rows[1][2], "暂无简介");
  for (const Row& row : rows) {
    EXPECT_NE(row[0].find(sites_.source1_host()), std::string::npos) << row[0];
    EXPECT_EQ(row[4], "");
  }
  EXPECT_EQ(controls_.selected_row(), 0);
  EXPECT_EQ(controls_.status_history(),
            (std::vector<Text>{Text(sites::kSearchingSource1), Text(sites::kSearchDone)}));
  EXPECT_EQ(controls_.busy_history(), (std::vector<bool>{true, false}));
}

TEST_F(SampleSitesTest, SourceTwoSearchListsItsHitsUnderItsHost) {
  search(1, "三国");
  ASSERT_EQ(controls_.row_count(), 1);
  const Row row = controls_.rows()[0];
  EXPECT_EQ(row[0].rfind("http://" + sites_.source2_host() + "/", 0), 0u) << row[0];
  EXPECT_EQ(row[1], "三国演义");
  EXPECT_EQ(row[3], "罗贯中");
  EXPECT_EQ(controls_.status_history(),
            (std::vector<Text>{Text(sites::kSearchingSource2), Text(sites::kSearchDone)}));
}

TEST_F(SampleSitesTest, GeneratedHitsBecomeTheExpectedBooks) {
  search(0, "西游");
  generate_and_wait();
  EXPECT_EQ(book("西游记.txt"), golden_book("source1_xiyouji"));
  EXPECT_EQ(controls_.status(), books::written_line("西游记", 0));

  // A source 2 row is downloaded by source 2 even with 源站① chosen again.
  search(1, "三国");
  controls_.set_source_choice(0);
  generate_and_wait();
  EXPECT_EQ(book("三国演义.txt"), golden_book("source2_sanguoyanyi"));
  EXPECT_EQ(controls_.thread_violations(), 0);
  EXPECT_FALSE(controls_.busy());
}

}  // namespace
}  // namespace quillreap::app
