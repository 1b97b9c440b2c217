// The one GBK <-> UTF-16 conversion of the Windows build, held by the three places a text
// meets the system: file names, the window, and the console. Each row goes through all
// three, so none of them can keep a rule of its own for bytes that are not GBK.
#include <windows.h>
// commctrl.h needs the types windows.h declares.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/cli/console.hpp"
#include "app/win32/main_window.hpp"
#include "app/win32/win32_controls.hpp"
#include "app/window_description.hpp"
#include "text/files.hpp"
#include "text/wide.hpp"

namespace quillreap {
namespace {

enum class Way { kBoth, kToWide, kToGbk };

struct Case {
  const char* what;
  std::string gbk;
  std::wstring wide;
  Way way = Way::kBoth;
};

// The rule: each character that is not GBK becomes one '?', and the rest still converts.
const Case kCases[] = {
    {"Chinese", "\xC8\xFD\xB9\xFA", L"\u4E09\u56FD"},
    {"ASCII", "Book 1", L"Book 1"},
    {"euro sign alone", "\x80", L"\u20AC"},
    {"lead byte at the end", "ab\x81", L"ab?", Way::kToWide},
    {"lead byte before a byte that cannot trail it", "\x81 x", L"? x", Way::kToWide},
    {"byte that starts nothing",
     "a\xFF"
     "b",
     L"a?b", Way::kToWide},
    {"bad byte amid Chinese", "\xC8\xFD\xFF\xB9\xFA", L"\u4E09?\u56FD", Way::kToWide},
    {"character outside GBK", "a?", L"a\u0E01", Way::kToGbk},
};

std::string utf8_of(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n = static_cast<int>(wide.size());
  std::string out(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr,
                                                               0, nullptr, nullptr)),
                  '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), static_cast<int>(out.size()), nullptr,
                      nullptr);
  return out;
}

// What write_text puts on standard output when that is a pipe.
std::string console_output(std::string_view gbk) {
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, nullptr, 1 << 16)) return "<no pipe>";
  HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, write_end);
  app::cli::write_text(app::cli::Stream::kOut, gbk);
  SetStdHandle(STD_OUTPUT_HANDLE, saved);
  CloseHandle(write_end);
  std::string out;
  char buffer[256];
  DWORD got = 0;
  while (ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got > 0)
    out.append(buffer, got);
  CloseHandle(read_end);
  return out;
}

std::wstring status_text(HWND bar) {
  wchar_t buffer[256] = {};
  SendMessageW(bar, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

TEST(GbkWide, FileNamesWindowAndConsoleConvertAlike) {
  app::win32::MainWindow window(false);
  ASSERT_TRUE(window.load_window(app::main_window_description()));
  app::win32::Win32Controls controls(window);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path folder =
      std::filesystem::path(temp) / (L"quillreap-gbk-" + std::to_wstring(GetCurrentProcessId()));
  std::filesystem::create_directories(folder);
  const std::string folder_gbk = text::wide_to_gbk(folder.wstring());

  for (const Case& c : kCases) {
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
      EXPECT_EQ(console_output(c.gbk), utf8_of(c.wide));
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
