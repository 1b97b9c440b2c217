// The terminal on Windows: the wide command line converted to GBK, and output written as
// UTF-16 to a console (right on any console code page) or as UTF-8 bytes to a file or pipe,
// both through the text layer's one conversion, so the console shows what the window and
// the file names show.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <memory>
#include <mutex>
#include <string>

#include "app/cli/console.hpp"
#include "text/codepage.hpp"
#include "text/wide.hpp"

namespace quillreap::app::cli {
namespace {

// The console runs its control handler on a thread of its own, an ordinary thread that
// may take a lock and request the stop itself.
struct InterruptStop {
  std::mutex mutex;
  std::stop_source stop{std::nostopstate};
};
InterruptStop& interrupt_stop() {
  static InterruptStop instance;
  return instance;
}

BOOL WINAPI on_console_control(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  InterruptStop& interrupt = interrupt_stop();
  std::lock_guard lock(interrupt.mutex);
  if (!interrupt.stop.stop_possible()) return FALSE;  // nothing to stop: the process ends
  interrupt.stop.request_stop();
  return TRUE;
}

struct LocalMemoryFree {
  void operator()(LPWSTR* memory) const noexcept { LocalFree(memory); }
};
using WideArguments = std::unique_ptr<LPWSTR, LocalMemoryFree>;

}  // namespace

void stop_on_interrupt(std::stop_source stop) {
  InterruptStop& interrupt = interrupt_stop();
  {
    std::lock_guard lock(interrupt.mutex);
    interrupt.stop = std::move(stop);
  }
  SetConsoleCtrlHandler(on_console_control, TRUE);
}

std::vector<Text> arguments_as_gbk(int, char**) {
  // argv was made with the ANSI code page of the moment, which loses Chinese on a
  // non-Chinese Windows; the wide command line keeps every character.
  int count = 0;
  WideArguments wide(CommandLineToArgvW(GetCommandLineW(), &count));
  std::vector<Text> arguments;
  if (!wide) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(text::wide_to_gbk(wide.get()[i]));
  return arguments;
}

bool is_terminal(Stream stream) {
  HANDLE handle = GetStdHandle(stream == Stream::kOut ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

int terminal_columns() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return 0;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

std::optional<std::string> read_standard_input() {
  HANDLE handle = GetStdHandle(STD_INPUT_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return std::nullopt;
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    // Typed at the console: UTF-16 whatever its code page, up to Ctrl-Z.
    std::wstring typed;
    wchar_t chunk[4096];
    DWORD got = 0;
    while (ReadConsoleW(handle, chunk, 4096, &got, nullptr) && got > 0) {
      typed.append(chunk, got);
      if (const std::size_t end = typed.find(L'\x1A'); end != std::wstring::npos) {
        typed.resize(end);
        break;
      }
    }
    return text::ansi_to_utf8(text::wide_to_gbk(typed));
  }
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  for (;;) {
    if (!ReadFile(handle, chunk, sizeof chunk, &got, nullptr))
      return GetLastError() == ERROR_BROKEN_PIPE ? std::optional(bytes) : std::nullopt;
    if (got == 0) return bytes;
    bytes.append(chunk, got);
  }
}

void write_text(Stream stream, std::string_view gbk) {
  HANDLE handle = GetStdHandle(stream == Stream::kOut ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(handle, &mode)) {
    const std::wstring wide = text::gbk_to_wide(gbk);
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  const std::string utf8 = text::ansi_to_utf8(gbk);
  WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

}  // namespace quillreap::app::cli
