// Child processes on Windows: CreateProcessW with a command line quoted as
// CommandLineToArgvW reads it, standard output and error sent to files, or standard error
// to a pipe whose output a thread copies into the error file.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <thread>

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

// Copies until the child's end of the pipe is closed.
void copy_output(HANDLE reading, std::filesystem::path file) {
  std::FILE* out = _wfopen(file.wstring().c_str(), L"wb");
  if (!out) return;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(reading, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    std::fwrite(buffer, 1, got, out);
    std::fflush(out);  // err_so_far reads the file while the child runs
  }
  std::fclose(out);
}

}  // namespace

struct StartedProgram::Child {
  Handle process;
  Handle reading;       // the pipe's end the test reads; null without a pipe
  std::thread copying;  // from the pipe into the error file, until the child is gone

  ~Child() {
    if (copying.joinable()) copying.join();
  }
};

// A terminal cannot be had here (a test that needs one runs on Linux): ErrorTo::kTerminal
// gives a file.
StartedProgram::StartedProgram(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::string& directory, ErrorTo error_to,
                               const std::optional<std::string>& input)
    : child_(std::make_shared<Child>()) {
  std::wstring command_line = quoted(widen(program));
  for (const std::string& argument : arguments) command_line += L" " + quoted(widen(argument));
  Handle out = output_file(out_path().wstring());
  Handle err;
  if (error_to == ErrorTo::kPipe) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE reading = nullptr, writing = nullptr;
    if (CreatePipe(&reading, &writing, &inherit, 0)) {
      child_->reading.reset(reading);
      err.reset(writing);
      SetHandleInformation(reading, HANDLE_FLAG_INHERIT, 0);
    }
  }
  if (!err) err = output_file(err_path().wstring());
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  Handle in;
  if (input) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE opened = CreateFileW(input_file(*input).wstring().c_str(), GENERIC_READ, FILE_SHARE_READ,
                                &inherit, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened != INVALID_HANDLE_VALUE) in.reset(opened);
  }
  startup.hStdInput = in ? in.get() : GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out.get();
  startup.hStdError = err.get();
  PROCESS_INFORMATION process{};
  const std::wstring wide_directory = widen(directory);
  if (CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     directory.empty() ? nullptr : wide_directory.c_str(), &startup, &process)) {
    child_->process.reset(process.hProcess);
    CloseHandle(process.hThread);
  }
  if (child_->reading) {
    err.reset();  // the child's copy is the only one left, so its end ends the copying
    child_->copying = std::thread(copy_output, child_->reading.get(), err_path());
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
      GetExitCodeProcess(child_->process.get(), &code)) {
    if (child_->copying.joinable()) child_->copying.join();
    return static_cast<int>(code);
  }
  return -1;
}

}  // namespace quillreap::test_support
