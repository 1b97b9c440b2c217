// The one GBK <-> UTF-16 conversion of the Windows build, held by file names and the
// window; the console is held to the same table in the command line's tests, so none of
// the three can keep a rule of its own for bytes that are not GBK.
#include <windows.h>
// commctrl.h needs the types windows.h declares.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/win32/main_window.hpp"
#include "app/win32/win32_controls.hpp"
#include "app/window_description.hpp"
#include "tests/support/gbk_wide_cases.hpp"
#include "text/files.hpp"
#include "text/wide.hpp"

namespace quillreap {
namespace {

using test_support::kGbkWideCases;
using test_support::Way;

std::wstring status_text(HWND bar) {
  wchar_t buffer[256] = {};
  SendMessageW(bar, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

TEST(GbkWide, FileNamesAndTheWindowConvertAlike) {
  app::win32::MainWindow window(false);
  ASSERT_TRUE(window.load_window(app::main_window_description()));
  app::win32::Win32Controls controls(window);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path folder =
      std::filesystem::path(temp) / (L"quillreap-gbk-" + std::to_wstring(GetCurrentProcessId()));
  std::filesystem::create_directories(folder);
  const std::string folder_gbk = text::wide_to_gbk(folder.wstring());

  for (const test_support::Case& c : kGbkWideCases) {
    SCOPED_TRACE(c.what);
    if (c.way != Way::kToGbk) {
      EXPECT_EQ(text::gbk_to_wide(c.gbk), c.wide);
      // A '?' cannot stand in a file name: such a name makes no file.
      const bool named = text::write_file(folder_gbk + "\\" + c.gbk + ".txt", text::Bytes{'x'});
      EXPECT_EQ(named, c.wide.find(L'?') == std::wstring::npos);
      if (named) {
        EXPECT_TRUE(std::filesystem::exists(folder / (c.wide + L".txt")));
      }
      controls.set_status(c.gbk);
      EXPECT_EQ(status_text(window.control(app::names::kStatusBar)), c.wide);
    }
    if (c.way != Way::kToWide) {
      EXPECT_EQ(text::wide_to_gbk(c.wide), c.gbk);
      SetWindowTextW(window.control(app::names::kSearchEdit), c.wide.c_str());
      EXPECT_EQ(controls.search_word(), c.gbk);
    }
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace
}  // namespace quillreap
