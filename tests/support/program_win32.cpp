// Child processes on Windows: CreateProcessW with a command line quoted as
// CommandLineToArgvW reads it, standard output and error sent to files.
#include <windows.h>

#include <memory>

#include "tests/support/program.hpp"

namespace quillreap::test_support {
namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const noexcept {
    if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using Handle = std::unique_ptr<void, HandleCloser>;

std::wstring widen(const std::string& gbk) {
  if (gbk.empty()) return {};
  const int size =
      MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring wide(size, L'\0');
  MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(), size);
  return wide;
}

// Quotes one argument so that CommandLineToArgvW gives it back unchanged.
std::wstring quoted(const std::wstring& argument) {
  std::wstring out = L"\"";
  int backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') backslashes = backslashes * 2 + 1;
    out.append(backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

Handle output_file(const std::wstring& path) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return Handle(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

struct StartedProgram::Child {
  Handle process;
};

// Standard error always goes to a file: a test that needs a terminal runs on Linux.
StartedProgram::StartedProgram(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::string& directory, ErrorTo)
    : child_(std::make_shared<Child>()) {
  std::wstring command_line = quoted(widen(program));
  for (const std::string& argument : arguments) command_line += L" " + quoted(widen(argument));
  Handle out = output_file(out_path().wstring());
  Handle err = output_file(err_path().wstring());
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out.get();
  startup.hStdError = err.get();
  PROCESS_INFORMATION process{};
  const std::wstring wide_directory = widen(directory);
  if (CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     directory.empty() ? nullptr : wide_directory.c_str(), &startup, &process)) {
    child_->process.reset(process.hProcess);
    CloseHandle(process.hThread);
  }
}

void StartedProgram::kill() {
  if (child_->process && !waited_) TerminateProcess(child_->process.get(), 137);
}

void StartedProgram::interrupt() {
  // A console's Ctrl-C reaches every process on it, this test's too; a test that needs it
  // runs on Linux.
}

int StartedProgram::wait_for_exit() {
  DWORD code = 0;
  if (child_->process && WaitForSingleObject(child_->process.get(), INFINITE) == WAIT_OBJECT_0 &&
      GetExitCodeProcess(child_->process.get(), &code))
    return static_cast<int>(code);
  return -1;
}

}  // namespace quillreap::test_support
