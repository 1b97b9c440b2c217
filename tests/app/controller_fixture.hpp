// The controller on the headless controls and shell, with a fresh book directory and a
// configuration pointing at a loopback site. Shared by the controller test files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/controller.hpp"
#include "app/headless_controls.hpp"
#include "app/headless_shell.hpp"
#include "tests/app/controller_test_site.hpp"
#include "text/files.hpp"

namespace quillreap::app {

class ControllerTest : public ::testing::Test {
 protected:
  ControllerTest() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    directory_ =
        std::filesystem::temp_directory_path() /
        (std::string("quillreap-controller-") + test->test_suite_name() + "-" + test->name());
    std::filesystem::remove_all(directory_);
    std::filesystem::create_directories(directory_);
    config_ = sources::SiteConfig::defaults();
    config_.search_host = site_.host();
    config_.source1_host = site_.host();
    config_.source2_host = site_.host();
    config_.source2_label = "Src2Mark";
    config_.update_host = "updates.example:8080";
  }
  ~ControllerTest() override {
    controller_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }

  Controller& controller() {
    if (!controller_)
      controller_ = std::make_unique<Controller>(controls_, shell_, config_, directory_.string());
    return *controller_;
  }

  // Appends a row as a search would and selects it.
  void add_row(const std::string& address, const std::string& name, bool select = true) {
    const int row = controls_.list_append_row();
    controls_.list_set_cell(row, 0, address);
    controls_.list_set_cell(row, 1, name);
    if (select) controls_.list_select_row(row);
  }

  // Clicks 生成TXT and lets the interface thread serve the worker until it has ended.
  void generate_and_wait() {
    controller().on_generate();
    ASSERT_TRUE(shell_.wait_workers(std::chrono::seconds(120)));
  }

  // The book file's bytes; "" when there is none. The name is GBK, as the program's.
  std::string book(const std::string& file_name) const {
    const auto bytes = text::read_file(directory_.string() + "/" + file_name);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
  }
  int files_written() const {
    int count = 0;
    // The chapter store's hidden folder is no book.
    for (const auto& entry : std::filesystem::directory_iterator(directory_))
      if (entry.path().filename() != ".quillreap") ++count;
    return count;
  }

  // Declared first, destroyed last: the shell pumps the controls' requests while it joins.
  HeadlessControls controls_;
  HeadlessShell shell_{&controls_.dispatcher()};
  test_support::TwoSourcesSite site_;
  std::filesystem::path directory_;
  sources::SiteConfig config_;
  std::unique_ptr<Controller> controller_;
};

}  // namespace quillreap::app
