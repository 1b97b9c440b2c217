// Driving quillreap.exe from another process, as a user would: its top-level window, its
// controls by their names in the window description, and waiting for what it does. Shared
// by the program's own test and the window's memory benchmark.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "app/window_description.hpp"

namespace quillreap::test_support {

struct HandleCloser {
  void operator()(HANDLE handle) const noexcept {
    if (handle) CloseHandle(handle);
  }
};
using Handle = std::unique_ptr<void, HandleCloser>;

namespace program_window_detail {

struct Found {
  DWORD process;
  HWND window;
};

inline BOOL CALLBACK look_at_window(HWND window, LPARAM data) {
  auto* found = reinterpret_cast<Found*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != found->process || !IsWindowVisible(window)) return TRUE;
  found->window = window;
  return FALSE;
}

struct Wanted {
  int id;
  HWND found;
};

inline BOOL CALLBACK look_at_child(HWND child, LPARAM data) {
  auto* wanted = reinterpret_cast<Wanted*>(data);
  if (GetDlgCtrlID(child) != wanted->id) return TRUE;
  wanted->found = child;
  return FALSE;
}

}  // namespace program_window_detail

// A program started in a folder of its own, which is also its working directory.
struct StartedProgram {
  Handle process;
  Handle thread;
  DWORD id = 0;
};
inline StartedProgram start_program(const std::filesystem::path& program) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::wstring command = L"\"" + program.wstring() + L"\"";
  const std::wstring folder = program.parent_path().wstring();
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &started))
    return {};
  return {Handle(started.hProcess), Handle(started.hThread), started.dwProcessId};
}

// The program's top-level window, once it has one.
inline HWND window_of(DWORD process) {
  program_window_detail::Found found{process, nullptr};
  EnumWindows(program_window_detail::look_at_window, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

// A control of the program's window by its name in the window description: the window
// numbers its controls in description order.
inline HWND control_of(HWND window, std::string_view name) {
  const auto& controls = app::main_window_description().controls;
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].name != name) continue;
    program_window_detail::Wanted wanted{100 + static_cast<int>(i), nullptr};
    EnumChildWindows(window, program_window_detail::look_at_child,
                     reinterpret_cast<LPARAM>(&wanted));
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

// Searches a source (0 for source 1, 1 for source 2) for word (UTF-16) in the program's
// window and clicks 生成TXT: the search selects its first row.
inline void search_and_generate(HWND window, int source, const wchar_t* word) {
  SendMessageW(control_of(window, app::names::kSourceCombo), CB_SETCURSEL, source, 0);
  SendMessageW(control_of(window, app::names::kSearchEdit), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(word));
  SendMessageW(control_of(window, app::names::kSearchButton), BM_CLICK, 0, 0);
  PostMessageW(control_of(window, app::names::kGenerateButton), BM_CLICK, 0, 0);
}

}  // namespace quillreap::test_support
