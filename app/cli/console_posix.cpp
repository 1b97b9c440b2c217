// The terminal on Linux and other POSIX systems: argv and output are UTF-8.
#include <cstdio>

#include "app/cli/console.hpp"
#include "text/codepage.hpp"

namespace quillreap::app::cli {

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
