// Child processes on Linux: posix_spawn with standard output and error sent to files.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include "tests/support/program.hpp"
#include "text/codepage.hpp"

extern char** environ;

namespace quillreap::test_support {

struct StartedProgram::Child {
  pid_t pid = -1;
};

StartedProgram::StartedProgram(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::string& directory)
    : child_(std::make_shared<Child>()) {
  std::vector<std::string> utf8{program};
  for (const std::string& argument : arguments) utf8.push_back(text::ansi_to_utf8(argument));
  std::vector<char*> argv;
  for (std::string& argument : utf8) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const int create = O_WRONLY | O_CREAT | O_TRUNC;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_path().c_str(), create, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err_path().c_str(), create, 0600);
  if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  if (posix_spawn(&child_->pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
    child_->pid = -1;
  posix_spawn_file_actions_destroy(&actions);
}

void StartedProgram::kill() {
  if (child_->pid > 0 && !waited_) ::kill(child_->pid, SIGKILL);
}

void StartedProgram::interrupt() {
  if (child_->pid > 0 && !waited_) ::kill(child_->pid, SIGINT);
}

int StartedProgram::wait_for_exit() {
  int status = 0;
  if (child_->pid > 0 && waitpid(child_->pid, &status, 0) == child_->pid && WIFEXITED(status))
    return WEXITSTATUS(status);
  return -1;
}

}  // namespace quillreap::test_support
