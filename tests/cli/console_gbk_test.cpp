// The console of the Windows build is held to the same GBK <-> UTF-16 table as file names
// and the window (tests/win32): what write_text puts on a pipe is the UTF-8 of the text
// the one conversion makes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "app/cli/console.hpp"
#include "tests/support/gbk_wide_cases.hpp"

namespace quillreap {
namespace {

using test_support::Way;

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

TEST(ConsoleGbkWide, PipedOutputIsTheUtf8OfTheOneConversion) {
  for (const test_support::Case& c : test_support::kGbkWideCases) {
    SCOPED_TRACE(c.what);
    if (c.way != Way::kToGbk) {
      EXPECT_EQ(console_output(c.gbk), utf8_of(c.wide));
    }
  }
}

}  // namespace
}  // namespace quillreap
