// The terminal on Linux and other POSIX systems: argv and output are UTF-8.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <thread>

#include "app/cli/console.hpp"
#include "text/codepage.hpp"

namespace quillreap::app::cli {
namespace {

// A signal handler may not take a lock or request a stop, so it only writes a byte to a
// pipe; a watcher thread, started with the first stop_on_interrupt and left to the end of
// the process, reads it and requests the stop.
struct InterruptStop {
  std::mutex mutex;
  std::stop_source stop{std::nostopstate};
  int pipe_ends[2] = {-1, -1};
};
InterruptStop& interrupt_stop() {
  // Never destroyed: the watcher may still run while the process ends.
  static InterruptStop* const instance = new InterruptStop;
  return *instance;
}

extern "C" void on_interrupt(int) {
  const int saved_errno = errno;
  const char byte = 1;
  // Nothing to do when the pipe is full: a stop is on its way already.
  [[maybe_unused]] const ssize_t written = write(interrupt_stop().pipe_ends[1], &byte, 1);
  errno = saved_errno;
}

void watch_interrupts(InterruptStop& interrupt) {
  for (;;) {
    char byte;
    const ssize_t got = read(interrupt.pipe_ends[0], &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;
    std::lock_guard lock(interrupt.mutex);
    interrupt.stop.request_stop();
  }
}

// Once per process: the pipe, the watcher and the handler.
void start_watching(InterruptStop& interrupt) {
  if (pipe(interrupt.pipe_ends) != 0) return;
  fcntl(interrupt.pipe_ends[1], F_SETFL, O_NONBLOCK);
  std::thread(watch_interrupts, std::ref(interrupt)).detach();
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a blocked read gives up, so the download notices the stop sooner.
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace

void stop_on_interrupt(std::stop_source stop) {
  InterruptStop& interrupt = interrupt_stop();
  static std::once_flag started;
  std::call_once(started, start_watching, std::ref(interrupt));
  std::lock_guard lock(interrupt.mutex);
  interrupt.stop = std::move(stop);
}

std::vector<Text> arguments_as_gbk(int argc, char** argv) {
  std::vector<Text> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(text::utf8_to_ansi(std::string_view(argv[i])));
  return arguments;
}

bool is_terminal(Stream stream) {
  return isatty(stream == Stream::kOut ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

int terminal_columns() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

std::optional<std::string> read_standard_input() {
  std::string bytes;
  char chunk[65536];
  for (;;) {
    const ssize_t got = read(STDIN_FILENO, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) return bytes;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
}

void write_text(Stream stream, std::string_view gbk) {
  const std::string utf8 = text::ansi_to_utf8(gbk);
  std::FILE* file = stream == Stream::kOut ? stdout : stderr;
  std::fwrite(utf8.data(), 1, utf8.size(), file);
  if (stream == Stream::kError) std::fflush(file);
}

}  // namespace quillreap::app::cli
