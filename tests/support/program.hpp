// Runs a program as a child process with GBK arguments, given to it as the platform's
// command line holds them (UTF-8 argv on Linux, the wide command line on Windows), and
// hands back its exit status and what it wrote, turned back from UTF-8 into GBK.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_folder.hpp"

namespace quillreap::test_support {

struct ProgramRun {
  int exit_status = -1;  // -1 when the program could not be run or did not exit normally
  std::string out;       // standard output, GBK
  std::string err;       // standard error, GBK
};

// Where the child's standard error goes: a file, a pipe, or a pseudo-terminal (Linux only),
// so that the child sees a terminal. What it writes to a pipe or terminal is copied into
// the file as it comes and read back as from the file, byte for byte (the terminal is raw:
// a line break stays a line break).
enum class ErrorTo { kFile, kPipe, kTerminal };

// directory: the child's working directory ("" keeps the test's own). input: what the child
// reads on standard input, GBK, given as UTF-8 from a file (none: the test's own).
ProgramRun run_program(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& directory = "", ErrorTo error_to = ErrorTo::kFile,
                       const std::optional<std::string>& input = std::nullopt);

// A child process left running, for tests that stop it from outside. Ending the object
// kills a child still running.
class StartedProgram {
 public:
  StartedProgram(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& directory = "", ErrorTo error_to = ErrorTo::kFile,
                 const std::optional<std::string>& input = std::nullopt);
  ~StartedProgram();
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  // What it has written to standard error so far, GBK.
  std::string err_so_far() const;
  // Ends it at once, as a crash or a power cut would: no handler runs.
  void kill();
  // Sends it Ctrl-C's signal (Linux: SIGINT).
  void interrupt();
  // Waits for it to end; exit_status -1 when it did not exit normally.
  ProgramRun wait();

 private:
  // The platform's half (program_posix.cpp, program_win32.cpp): the running child.
  struct Child;
  // Waits for the child to end: its exit status, -1 when it did not exit normally.
  int wait_for_exit();

  // Standard output and error go to files here, read back (UTF-8 to GBK) when asked for.
  TempFolder outputs_{"program"};
  std::filesystem::path out_path() const { return outputs_.path() / "out"; }
  std::filesystem::path err_path() const { return outputs_.path() / "err"; }
  // Standard input's file, written from the GBK input as UTF-8; its path.
  std::filesystem::path input_file(const std::string& input) const;
  // Shared only so that the portable half can end it without knowing its type.
  std::shared_ptr<Child> child_;
  bool waited_ = false;
};

}  // namespace quillreap::test_support
