// The shelf's three menu items on the controller, over a shelf of three books from the
// sample sites: the serial 连载1 grown by a chapter since its download, 水浒传 from sites
// that have gone, and 西游记 with nothing new, its book file marked to show whether it
// was written again.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/app/controller_fixture.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap::app {
namespace {

class ShelfTest : public ControllerTest {
 protected:
  ShelfTest() {
    config_ = sites_.config();
    config_.tries = 1;  // the gone sites' book fails at once
  }

  // Searches with controller and downloads the first hit, as the window does.
  void download_first_hit(Controller& controller, int source, const std::string& word) {
    controls_.set_search_word(word);
    controls_.set_source_choice(source);
    controller.on_search();
    controller.on_generate();
    ASSERT_TRUE(shell_.wait_workers(std::chrono::seconds(120)));
  }

  sample_sites::SampleSites sites_{sites::SiteConfig::defaults(), {}, {}, {}, {1, 4}};
};

TEST_F(ShelfTest, MenuItemsListCheckAndUpdateTheShelf) {
  controller().run_command(Command::kShowShelf);
  EXPECT_EQ(controls_.status(), "书架是空的");
  EXPECT_EQ(controls_.row_count(), 0);

  {
    sample_sites::SampleSites gone;
    Controller elsewhere(controls_, shell_, gone.config(), directory_.text());
    download_first_hit(elsewhere, 0, "水浒");
  }
  download_first_hit(controller(), 1, "连载");
  sites_.grow_serials(1);
  download_first_hit(controller(), 0, "西游");
  ASSERT_TRUE(text::write_file(directory_.text() + "/西游记.txt", text::Bytes{'o', 'l', 'd'}));

  const Text check1 = "正在检查《连载1》", check2 = "正在检查《水浒传》",
             check3 = "正在检查《西游记》";
  struct Case {
    Command command;
    std::vector<Text> cells;  // 连载1, 水浒传, 西游记
    std::vector<Text> steps;  // the status lines naming a book, in turn
    Text last_line;
  };
  const Case cases[] = {
      {Command::kShowShelf, {"共4章", "共3章", "共3章"}, {}, "书架上有3本书"},
      {Command::kCheckShelf,
       {"有1章新内容", "检查失败", "已是最新"},
       {check1, check2, check3},
       "检查完成:1本书有新章节"},
      {Command::kUpdateShelf,
       {"已完成", "检查失败", "已是最新"},
       {check1, "书籍:连载1的所有章节已生成TXT文本在程序目录下", check2, check3},
       "书架更新完成:1本书有新章节,共1章,1本更新失败"},
      {Command::kShowShelf, {"共5章", "共3章", "共3章"}, {}, "书架上有3本书"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.command));
    const std::size_t before = controls_.status_history().size();
    controller().run_command(c.command);
    ASSERT_TRUE(shell_.wait_workers(std::chrono::seconds(120)));
    std::vector<Text> cells, names;
    for (const Row& row : controls_.rows()) {
      names.push_back(row[1]);
      cells.push_back(row[4]);
    }
    EXPECT_EQ(names, (std::vector<Text>{"连载1", "水浒传", "西游记"}));
    EXPECT_EQ(cells, c.cells);
    const std::vector<Text> lines = controls_.status_history();
    EXPECT_EQ(lines.back(), c.last_line);
    std::vector<Text> steps;
    std::copy_if(
        lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end(), std::back_inserter(steps),
        [](const Text& line) { return line.starts_with("正在检查") || line.starts_with("书籍:"); });
    EXPECT_EQ(steps, c.steps);
    EXPECT_FALSE(controls_.busy());
  }
  EXPECT_EQ(book("西游记.txt"), "old");
  EXPECT_EQ(controls_.thread_violations(), 0);
}

}  // namespace
}  // namespace quillreap::app
