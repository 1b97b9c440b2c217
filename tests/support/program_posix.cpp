// Child processes on Linux: posix_spawn with standard output and error sent to files.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/support/program.hpp"
#include "text/codepage.hpp"

extern char** environ;

namespace quillreap::test_support {
namespace {

std::string take_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(in), {}};
  std::remove(path.c_str());
  return text::utf8_to_ansi(std::string_view(bytes));
}

std::string temporary_file() {
  char name[] = "/tmp/quillreap-cli-test-XXXXXX";
  const int fd = mkstemp(name);
  if (fd >= 0) close(fd);
  return name;
}

}  // namespace

struct StartedProgram::Impl {
  pid_t child = -1;
  std::string out_path;
  std::string err_path;
  bool waited = false;
};

StartedProgram::StartedProgram(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::string& directory)
    : impl_(std::make_unique<Impl>()) {
  std::vector<std::string> utf8{program};
  for (const std::string& argument : arguments) utf8.push_back(text::ansi_to_utf8(argument));
  std::vector<char*> argv;
  for (std::string& argument : utf8) argv.push_back(argument.data());
  argv.push_back(nullptr);
  impl_->out_path = temporary_file();
  impl_->err_path = temporary_file();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, impl_->out_path.c_str(), O_WRONLY | O_TRUNC, 0);
  posix_spawn_file_actions_addopen(&actions, 2, impl_->err_path.c_str(), O_WRONLY | O_TRUNC, 0);
  if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  if (posix_spawn(&impl_->child, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
    impl_->child = -1;
  posix_spawn_file_actions_destroy(&actions);
}

StartedProgram::~StartedProgram() {
  kill();
  wait();
}

std::string StartedProgram::err_so_far() const {
  std::ifstream in(impl_->err_path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  return text::utf8_to_ansi(std::string_view(bytes));
}

void StartedProgram::kill() {
  if (impl_->child > 0 && !impl_->waited) ::kill(impl_->child, SIGKILL);
}

void StartedProgram::interrupt() {
  if (impl_->child > 0 && !impl_->waited) ::kill(impl_->child, SIGINT);
}

ProgramRun StartedProgram::wait() {
  ProgramRun run;
  if (impl_->waited) return run;
  impl_->waited = true;
  int status = 0;
  if (impl_->child > 0 && waitpid(impl_->child, &status, 0) == impl_->child && WIFEXITED(status))
    run.exit_status = WEXITSTATUS(status);
  run.out = take_file(impl_->out_path);
  run.err = take_file(impl_->err_path);
  return run;
}

ProgramRun run_program(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& directory) {
  return StartedProgram(program, arguments, directory).wait();
}

}  // namespace quillreap::test_support
