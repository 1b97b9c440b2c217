#include "tests/support/golden_book.hpp"

#include <fstream>
#include <iterator>

namespace quillreap::test_support {

std::string file_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string fixture_bytes(const std::string& relative) {
  return file_bytes(std::filesystem::path(QUILLREAP_FIXTURES_DIR) / relative);
}

std::string golden_book(const std::string& stem) {
  return fixture_bytes("sources/" + stem + ".txt");
}

}  // namespace quillreap::test_support
