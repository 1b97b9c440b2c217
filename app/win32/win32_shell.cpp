// The Shell on Win32: MessageBoxW, ShellExecuteA and CreateThread.
#include "app/win32/win32_shell.hpp"

#include <windows.h>
// shellapi.h needs the types windows.h declares.
#include <shellapi.h>

#include <memory>
#include <string>

#include "text/wide.hpp"

namespace quillreap::app::win32 {
namespace {

DWORD WINAPI run_worker(LPVOID parameter) {
  // The new thread owns the work from here on.
  std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
  run_guarded(*work);
  return 0;
}

}  // namespace

int Win32Shell::message_box(std::string_view text, int style, std::string_view caption) {
  UINT flags = static_cast<UINT>(style);
  if ((flags & MB_SYSTEMMODAL) == 0) flags |= MB_TASKMODAL;
  return MessageBoxW(nullptr, text::gbk_to_wide(text).c_str(), text::gbk_to_wide(caption).c_str(),
                     flags) -
         1;
}

void Win32Shell::open_in_browser(std::string_view address) {
  const std::string file(address);
  ShellExecuteA(nullptr, "open", file.c_str(), "", "", SW_SHOWNORMAL);
}

bool Win32Shell::start_worker(std::function<void()> work) {
  auto owned = std::make_unique<std::function<void()>>(std::move(work));
  HANDLE thread = CreateThread(nullptr, 0, run_worker, owned.get(), 0, nullptr);
  if (!thread) return false;
  owned.release();  // run_worker has it now
  CloseHandle(thread);
  return true;
}

}  // namespace quillreap::app::win32
