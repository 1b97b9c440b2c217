// quillreap.exe itself, run as the user runs it from a folder of its own against slow
// sample sites on the build's default ports: closing the window during a download ends
// the program within two seconds, writes no book and keeps the chapters fetched so far.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "app/window_description.hpp"
#include "download/chapter_store.hpp"
#include "download/report.hpp"
#include "sites/site_search.hpp"
#include "tests/support/app/win32_program_window.hpp"
#include "tests/support/recording_report.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap {
namespace {

namespace fs = std::filesystem;
using test_support::wait_for;
using test_support::window_of;

std::string narrow(const std::wstring& wide) {
  std::string out(wide.size() * 2 + 1, '\0');
  const int n = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                                    static_cast<int>(out.size()), nullptr, nullptr);
  out.resize(static_cast<size_t>(n > 0 ? n : 0));
  return out;
}

TEST(ProgramClose, ClosingDuringASlowDownloadEndsTheProgramAndKeepsTheStore) {
  // The program talks to the build's hosts: the sample sites on their default ports, each
  // answer 100 ms late, with a book of 300 chapters.
  sample_sites::SampleSites sites(sites::SiteConfig::defaults(), {18061, 18062, 18063}, {300, 2000},
                                  {std::chrono::milliseconds(100), 0, false});
  const text::Text big_book = "\xB2\xE2\xCA\xD4\xBE\xDE\xD6\xF8";  // 测试巨著

  const test_support::TempFolder temp("program");
  const fs::path& folder = temp.path();
  const fs::path program = folder / L"quillreap.exe";
  ASSERT_TRUE(CopyFileW(QUILLREAP_EXE, program.c_str(), FALSE));

  const test_support::StartedProgram started = test_support::start_program(program);
  ASSERT_TRUE(started.process);
  HWND window = nullptr;
  ASSERT_TRUE(wait_for([&] { return (window = window_of(started.id)) != nullptr; },
                       std::chrono::seconds(60)));

  // Search source 1 for the big book: the search selects its first row, the only hit.
  test_support::search_and_generate(window, 0, L"\x6D4B\x8BD5\x5DE8\x8457");

  // The same search here gives the address the program is downloading.
  test_support::RecordingReport<sites::SearchReport> list;
  sites::search_source1(big_book, list, sites.config());
  ASSERT_EQ(list.row_count(), 1);
  const text::Text folder_gbk = narrow(folder.wstring());
  const text::Text store_path = download::chapter_store_path(folder_gbk, list.list_get_cell(0, 0));
  // A few chapters are in the store: the download is under way.
  ASSERT_TRUE(wait_for(
      [&] {
        const auto bytes = text::read_file(store_path);
        return bytes && bytes->size() > 10'000;
      },
      std::chrono::seconds(60)));

  const auto asked = std::chrono::steady_clock::now();
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(started.process.get(), 10'000), WAIT_OBJECT_0);
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(2));
  if (WaitForSingleObject(started.process.get(), 0) != WAIT_OBJECT_0)
    TerminateProcess(started.process.get(), 1);

  EXPECT_FALSE(fs::exists(folder / (L"\x6D4B\x8BD5\x5DE8\x8457" + std::wstring(L".txt"))));
  download::ChapterStore store(folder_gbk, list.list_get_cell(0, 0));
  EXPECT_GE(store.stored_count(), 2);
  EXPECT_LT(store.stored_count(), 300);
}

}  // namespace
}  // namespace quillreap
