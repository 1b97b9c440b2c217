// The controller on the headless controls and shell, with a fresh book directory and a
// configuration pointing at a loopback site. Shared by the controller test files.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/controller.hpp"
#include "tests/support/app/spy_controls.hpp"
#include "tests/support/app/spy_shell.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/two_sources_site.hpp"
#include "text/files.hpp"

namespace quillreap::app {

class ControllerTest : public ::testing::Test {
 protected:
  ControllerTest() {
    config_ = sites::SiteConfig::defaults();
    config_.search_host = site_.host();
    config_.source1_host = site_.host();
    config_.source2_host = site_.host();
    config_.source2_label = "Src2Mark";
    config_.update_host = "updates.example:8080";
  }
  ~ControllerTest() override { controller_.reset(); }

  Controller& controller() {
    if (!controller_)
      controller_ = std::make_unique<Controller>(controls_, shell_, config_, directory_.text());
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
    const auto bytes = text::read_file(directory_.text() + "/" + file_name);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
  }
  int files_written() const { return directory_.entry_count(); }

  // Declared first, destroyed last: the shell pumps the controls' requests while it joins.
  test_support::SpyControls controls_;
  test_support::SpyShell shell_{&controls_.dispatcher()};
  test_support::TwoSourcesSite site_;
  test_support::TempFolder directory_{"controller"};
  sites::SiteConfig config_;
  std::unique_ptr<Controller> controller_;
};

}  // namespace quillreap::app
