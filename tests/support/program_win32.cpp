// Child processes on Windows: CreateProcessW with a command line quoted as
// CommandLineToArgvW reads it, standard output and error sent to files.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

#include "tests/support/program.hpp"
#include "text/codepage.hpp"

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

std::string take_file(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(in), {}};
  in.close();
  DeleteFileW(path.c_str());
  return text::utf8_to_ansi(std::string_view(bytes));
}

}  // namespace

struct StartedProgram::Impl {
  Handle process;
  std::wstring out_path;
  std::wstring err_path;
  bool waited = false;
};

StartedProgram::StartedProgram(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::string& directory)
    : impl_(std::make_unique<Impl>()) {
  std::wstring command_line = quoted(widen(program));
  for (const std::string& argument : arguments) command_line += L" " + quoted(widen(argument));
  wchar_t temporary[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, temporary);
  static int started = 0;
  const std::wstring stem = std::wstring(temporary) + L"quillreap-cli-started-" +
                            std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(++started);
  impl_->out_path = stem + L".out";
  impl_->err_path = stem + L".err";
  Handle out = output_file(impl_->out_path);
  Handle err = output_file(impl_->err_path);
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
    impl_->process.reset(process.hProcess);
    CloseHandle(process.hThread);
  }
}

StartedProgram::~StartedProgram() {
  kill();
  wait();
}

std::string StartedProgram::err_so_far() const {
  std::ifstream in(impl_->err_path.c_str(), std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  return text::utf8_to_ansi(std::string_view(bytes));
}

void StartedProgram::kill() {
  if (impl_->process && !impl_->waited) TerminateProcess(impl_->process.get(), 137);
}

void StartedProgram::interrupt() {
  // A console's Ctrl-C reaches every process on it, this test's too; a test that needs it
  // runs on Linux.
}

ProgramRun StartedProgram::wait() {
  ProgramRun run;
  if (impl_->waited) return run;
  impl_->waited = true;
  DWORD code = 0;
  if (impl_->process && WaitForSingleObject(impl_->process.get(), INFINITE) == WAIT_OBJECT_0 &&
      GetExitCodeProcess(impl_->process.get(), &code))
    run.exit_status = static_cast<int>(code);
  run.out = take_file(impl_->out_path);
  run.err = take_file(impl_->err_path);
  return run;
}

ProgramRun run_program(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& directory) {
  return StartedProgram(program, arguments, directory).wait();
}

}  // namespace quillreap::test_support
