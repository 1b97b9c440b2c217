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
#include "tests/support/recording_report.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap {
namespace {

namespace fs = std::filesystem;

struct HandleCloser {
  void operator()(HANDLE handle) const noexcept {
    if (handle) CloseHandle(handle);
  }
};
using Handle = std::unique_ptr<void, HandleCloser>;

std::string narrow(const std::wstring& wide) {
  std::string out(wide.size() * 2 + 1, '\0');
  const int n = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                                    static_cast<int>(out.size()), nullptr, nullptr);
  out.resize(static_cast<size_t>(n > 0 ? n : 0));
  return out;
}

struct Found {
  DWORD process;
  HWND window;
};

BOOL CALLBACK look_at_window(HWND window, LPARAM data) {
  auto* found = reinterpret_cast<Found*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != found->process || !IsWindowVisible(window)) return TRUE;
  found->window = window;
  return FALSE;
}

// The program's top-level window, once it has one.
HWND window_of(DWORD process) {
  Found found{process, nullptr};
  EnumWindows(look_at_window, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

struct Wanted {
  int id;
  HWND found;
};

BOOL CALLBACK look_at_child(HWND child, LPARAM data) {
  auto* wanted = reinterpret_cast<Wanted*>(data);
  if (GetDlgCtrlID(child) != wanted->id) return TRUE;
  wanted->found = child;
  return FALSE;
}

// A control of the program's window by its name in the window description: the window
// numbers its controls in description order.
HWND control_of(HWND window, std::string_view name) {
  const auto& controls = app::main_window_description().controls;
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].name != name) continue;
    Wanted wanted{100 + static_cast<int>(i), nullptr};
    EnumChildWindows(window, look_at_child, reinterpret_cast<LPARAM>(&wanted));
    return wanted.found;
  }
  return nullptr;
}

template <typename Done>
bool wait_for(Done done, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
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

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::wstring command = L"\"" + program.wstring() + L"\"";
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             folder.c_str(), &startup, &started));
  Handle process(started.hProcess);
  Handle thread(started.hThread);
  HWND window = nullptr;
  ASSERT_TRUE(wait_for([&] { return (window = window_of(started.dwProcessId)) != nullptr; },
                       std::chrono::seconds(60)));

  // Search source 1 for the big book: the search selects its first row, the only hit.
  SendMessageW(control_of(window, app::names::kSourceCombo), CB_SETCURSEL, 0, 0);
  SendMessageW(control_of(window, app::names::kSearchEdit), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"\x6D4B\x8BD5\x5DE8\x8457"));
  SendMessageW(control_of(window, app::names::kSearchButton), BM_CLICK, 0, 0);
  PostMessageW(control_of(window, app::names::kGenerateButton), BM_CLICK, 0, 0);

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
  EXPECT_EQ(WaitForSingleObject(process.get(), 10'000), WAIT_OBJECT_0);
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(2));
  if (WaitForSingleObject(process.get(), 0) != WAIT_OBJECT_0) TerminateProcess(process.get(), 1);

  EXPECT_FALSE(fs::exists(folder / (L"\x6D4B\x8BD5\x5DE8\x8457" + std::wstring(L".txt"))));
  download::ChapterStore store(folder_gbk, list.list_get_cell(0, 0));
  EXPECT_GE(store.stored_count(), 2);
  EXPECT_LT(store.stored_count(), 300);
}

}  // namespace
}  // namespace quillreap
