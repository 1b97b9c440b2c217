// What a child program's run looks like on every platform: its output is read from the
// files it wrote, turned from UTF-8 back into GBK.
#include "tests/support/program.hpp"

#include <fstream>

#include "tests/support/golden_book.hpp"
#include "text/codepage.hpp"

namespace quillreap::test_support {
namespace {

std::string gbk_text_of(const std::filesystem::path& path) {
  return text::utf8_to_ansi(std::string_view(file_bytes(path)));
}

}  // namespace

StartedProgram::~StartedProgram() {
  kill();
  wait();
}

std::string StartedProgram::err_so_far() const {
  return gbk_text_of(err_path());
}

ProgramRun StartedProgram::wait() {
  ProgramRun run;
  if (waited_) return run;
  waited_ = true;
  run.exit_status = wait_for_exit();
  run.out = gbk_text_of(out_path());
  run.err = gbk_text_of(err_path());
  return run;
}

std::filesystem::path StartedProgram::input_file(const std::string& input) const {
  const std::filesystem::path path = outputs_.path() / "in";
  std::ofstream(path, std::ios::binary) << text::ansi_to_utf8(input);
  return path;
}

ProgramRun run_program(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& directory, ErrorTo error_to,
                       const std::optional<std::string>& input) {
  return StartedProgram(program, arguments, directory, error_to, input).wait();
}

}  // namespace quillreap::test_support
