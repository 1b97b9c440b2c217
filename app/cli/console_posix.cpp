// The terminal on Linux and other POSIX systems: argv and output are UTF-8.
#include <csignal>
#include <cstdio>

#include "app/cli/console.hpp"
#include "text/codepage.hpp"

namespace quillreap::app::cli {
namespace {

// The signal handler's only way to the download: a lock-free atomic pointer, which a
// handler may read, to a lock-free flag, which it may set.
std::atomic<std::atomic<bool>*> interrupt_flag{nullptr};

extern "C" void on_interrupt(int) {
  if (std::atomic<bool>* flag = interrupt_flag.load()) flag->store(true);
}

}  // namespace

void stop_on_interrupt(std::atomic<bool>* flag) {
  interrupt_flag.store(flag);
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a blocked read gives up, so the download notices the flag sooner.
  sigaction(SIGINT, &action, nullptr);
}

std::vector<Text> arguments_as_gbk(int argc, char** argv) {
  std::vector<Text> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(text::utf8_to_ansi(std::string_view(argv[i])));
  return arguments;
}

void write_text(Stream stream, std::string_view gbk) {
  const std::string utf8 = text::ansi_to_utf8(gbk);
  std::FILE* file = stream == Stream::kOut ? stdout : stderr;
  std::fwrite(utf8.data(), 1, utf8.size(), file);
  if (stream == Stream::kError) std::fflush(file);
}

}  // namespace quillreap::app::cli
