// Child processes on Linux: posix_spawn with standard output and error sent to files, or
// standard error to a pipe or a pseudo-terminal whose output a thread copies into the error
// file.
#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "tests/support/program.hpp"
#include "text/codepage.hpp"

extern char** environ;

namespace quillreap::test_support {

struct StartedProgram::Child {
  pid_t pid = -1;
  int reading = -1;     // the pipe's or pseudo-terminal's end the test reads; -1 without
  std::thread copying;  // from there into the error file, until the child is gone

  ~Child() {
    if (copying.joinable()) copying.join();
    if (reading >= 0) close(reading);
  }
};

namespace {

// Copies until every holder of the child's end has closed it (read then gives 0 on a pipe
// and fails with EIO on a terminal).
void copy_output(int reading, std::filesystem::path file) {
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (!out) return;
  char buffer[4096];
  for (ssize_t got; (got = read(reading, buffer, sizeof buffer)) > 0;) {
    std::fwrite(buffer, 1, static_cast<size_t>(got), out);
    std::fflush(out);  // err_so_far reads the file while the child runs
  }
  std::fclose(out);
}

}  // namespace

StartedProgram::StartedProgram(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::string& directory, ErrorTo error_to,
                               const std::optional<std::string>& input)
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
  const std::filesystem::path in = input ? input_file(*input) : std::filesystem::path();
  if (input) posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  int child_side = -1;
  int pipe_ends[2];
  if (error_to == ErrorTo::kPipe && pipe2(pipe_ends, O_CLOEXEC) == 0) {
    child_->reading = pipe_ends[0];
    child_side = pipe_ends[1];
  } else if (error_to == ErrorTo::kTerminal &&
             openpty(&child_->reading, &child_side, nullptr, nullptr, nullptr) == 0) {
    termios raw{};
    tcgetattr(child_side, &raw);
    cfmakeraw(&raw);
    tcsetattr(child_side, TCSANOW, &raw);
    fcntl(child_->reading, F_SETFD, FD_CLOEXEC);
    fcntl(child_side, F_SETFD, FD_CLOEXEC);
  }
  if (child_side >= 0) {
    // Only standard error holds the child's end in the child.
    posix_spawn_file_actions_adddup2(&actions, child_side, 2);
  } else {
    posix_spawn_file_actions_addopen(&actions, 2, err_path().c_str(), create, 0600);
  }
  if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  if (posix_spawn(&child_->pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
    child_->pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  if (child_side >= 0) {
    close(child_side);  // the child's copy is the only one left, so its end ends the copying
    child_->copying = std::thread(copy_output, child_->reading, err_path());
  }
}

void StartedProgram::kill() {
  if (child_->pid > 0 && !waited_) ::kill(child_->pid, SIGKILL);
}

void StartedProgram::interrupt() {
  if (child_->pid > 0 && !waited_) ::kill(child_->pid, SIGINT);
}

int StartedProgram::wait_for_exit() {
  int status = 0;
  const bool exited =
      child_->pid > 0 && waitpid(child_->pid, &status, 0) == child_->pid && WIFEXITED(status);
  if (child_->copying.joinable()) child_->copying.join();
  return exited ? WEXITSTATUS(status) : -1;
}

}  // namespace quillreap::test_support
