// What the https tests share: source 3 of the sample sites over TLS (see
// tests/support/sites/https_site.hpp), its site file on https, a book folder and a report
// that keeps why each page could not be had.
#pragma once

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "download/book_download.hpp"
#include "tests/support/recording_report.hpp"
#include "tests/support/sites/example_site.hpp"
#include "tests/support/sites/https_site.hpp"
#include "tests/support/temp_folder.hpp"

namespace quillreap::download {

// Keeps why each page could not be had.
struct FailureReport : test_support::RecordingReport<Report> {
  std::vector<Text> failures;
  void page_failed(std::string_view, std::string_view reason, int) override {
    failures.emplace_back(reason);
  }
};

class HttpsSite : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(site_.host().empty()) << site_.why_not();
    config_.tries = 1;
  }
  Text address(const Text& path) const { return "https://" + site_.host() + path; }
  books::BookOutcome download_xiyouji() {
    return download_book(address("/book/1_1/"), "西游记", report_, config_, dir_.text(), pages_);
  }
  Text book_file() const { return dir_.text() + "/西游记.txt"; }

  test_support::HttpsSite site_;
  SiteConfig config_ = SiteConfig::defaults();
  SourcePages pages_ = sites::example_site(site_.host(), "http://{{host}}", "https://{{host}}");
  test_support::TempFolder dir_;
  FailureReport report_;
};

}  // namespace quillreap::download
