// The controller's commands on the interface thread: the two menu items, the search
// button's busy state and status line, and what 生成TXT does before any worker runs.
#include <gtest/gtest.h>

#include "sites/status_texts.hpp"
#include "tests/app/controller_fixture.hpp"

namespace quillreap::app {
namespace {

TEST_F(ControllerTest, AboutShowsItsTextWithFourteenSpacesAndItsCaption) {
  controller().on_about();
  ASSERT_EQ(shell_.message_boxes().size(), 1u);
  const test_support::MessageBoxCall box = shell_.message_boxes()[0];
  EXPECT_EQ(box.text, "其实关于什么的都不重要\r\n\r\n" + std::string(14, ' ') + "By Tarnwick");
  EXPECT_EQ(box.style, 0);
  EXPECT_EQ(box.caption, "关于");
}

TEST_F(ControllerTest, CheckUpdatesOpensTheUpdatePageOfTheConfiguredHost) {
  EXPECT_EQ(controller().update_page_address(), "https://updates.example:8080/73.html");
  controller().on_check_updates();
  EXPECT_EQ(shell_.opened_addresses(), (std::vector<Text>{"https://updates.example:8080/73.html"}));
  EXPECT_TRUE(shell_.message_boxes().empty());
}

// Runs a search with the controls busy checked at every status line it shows.
class SearchTest : public ControllerTest {
 protected:
  void search(int choice, const std::string& word) {
    add_row("http://old/row", "旧行");  // a search starts from an empty list
    controls_.set_search_word(word);
    controls_.set_source_choice(choice);
    controls_.set_status_callback(
        [this](const Text&) { busy_at_status_.push_back(controls_.busy()); });
    controller().on_search();
  }
  std::vector<bool> busy_at_status_;
};

TEST_F(SearchTest, SourceOneSearchesThroughTheSiteSearchServiceWithTheWordAsTyped) {
  search(0, "西游 记&");
  ASSERT_EQ(site_.targets().size(), 1u);
  EXPECT_EQ(site_.targets()[0],
            "/cse/search?q=西游%20记&&s=" + config_.search_id + "&nsid=&entry=1");
  EXPECT_EQ(controls_.status_history(),
            (std::vector<Text>{Text(sites::kSearchingSource1), Text(sites::kSearchDone)}));
}

TEST_F(SearchTest, SourceTwoAndNoChoiceSearchTheSourceTwoSite) {
  for (int choice : {1, -1}) {
    search(choice, "");
    EXPECT_EQ(site_.targets().back(), "/Book/Search.aspx?SearchKey=&SearchClass=1") << choice;
    EXPECT_EQ(controls_.status(), sites::kSearchDone);
  }
  EXPECT_EQ(controls_.status_history()[0], sites::kSearchingSource2);
}

TEST_F(SearchTest, ControlsAreBusyThroughoutAndEnabledAfterASearchWithNoRows) {
  search(1, "无此书");
  EXPECT_EQ(controls_.row_count(), 0);  // the old row is gone and the site found nothing
  EXPECT_EQ(controls_.busy_history(), (std::vector<bool>{true, false}));
  EXPECT_EQ(busy_at_status_, (std::vector<bool>{true, true}));
  EXPECT_FALSE(controls_.busy());  // 生成TXT can be pressed now
}

// A shell that notes whether the controls were already busy when a worker was asked for.
class NotingShell : public Shell {
 public:
  NotingShell(test_support::SpyControls& controls, test_support::SpyShell& inner)
      : controls_(controls), inner_(inner) {}
  int message_box(std::string_view text, int style, std::string_view caption) override {
    return inner_.message_box(text, style, caption);
  }
  void open_in_browser(std::string_view address) override { inner_.open_in_browser(address); }
  bool start_worker(std::function<void()> work) override {
    busy_at_start_.push_back(controls_.busy());
    return inner_.start_worker(std::move(work));
  }
  std::vector<bool> busy_at_start_;

 private:
  test_support::SpyControls& controls_;
  test_support::SpyShell& inner_;
};

TEST_F(ControllerTest, GenerateDisablesTheControlsBeforeTheWorkerStarts) {
  NotingShell noting(controls_, shell_);
  Controller controller(controls_, noting, config_, directory_.text());
  add_row(site_.address("/book/1.html"), "甲书");
  controller.on_generate();
  ASSERT_TRUE(shell_.wait_workers(std::chrono::seconds(120)));
  EXPECT_EQ(noting.busy_at_start_, (std::vector<bool>{true}));
  // on_generate, then the worker's own first and last steps.
  EXPECT_EQ(controls_.busy_history(), (std::vector<bool>{true, true, false}));
}

TEST_F(ControllerTest, GenerateEnablesTheControlsAgainWhenNoWorkerCanStart) {
  add_row(site_.address("/book/1.html"), "甲书");
  shell_.set_fail_start_worker(true);
  controller().on_generate();
  EXPECT_EQ(controls_.busy_history(), (std::vector<bool>{true, false}));
  EXPECT_FALSE(controls_.busy());
  EXPECT_EQ(shell_.workers_started(), 0);
  EXPECT_TRUE(controls_.status_history().empty());
  EXPECT_TRUE(site_.targets().empty());
}

}  // namespace
}  // namespace quillreap::app
