// Runs a program as a child process with GBK arguments, given to it as the platform's
// command line holds them (UTF-8 argv on Linux, the wide command line on Windows), and
// hands back its exit status and what it wrote, turned back from UTF-8 into GBK.
#pragma once

#include <string>
#include <vector>

namespace quillreap::test_support {

struct ProgramRun {
  int exit_status = -1;  // -1 when the program could not be run or did not exit normally
  std::string out;       // standard output, GBK
  std::string err;       // standard error, GBK
};

// directory: the child's working directory ("" keeps the test's own).
ProgramRun run_program(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& directory = "");

}  // namespace quillreap::test_support
