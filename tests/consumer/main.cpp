// Uses the sources layer through its public headers only: a book file name and the
// build's site settings.
#include <cstdio>

#include "sources/book_file.hpp"
#include "sources/site_config.hpp"

int main() {
  using namespace quillreap;
  const text::Text name = sources::safe_book_file_name("a/b:c");
  const sources::SiteConfig config = sources::SiteConfig::defaults();
  if (name != "a_b_c" || config.source1_host.empty()) {
    std::fprintf(stderr, "consumer: unexpected name %s\n", name.c_str());
    return 1;
  }
  std::printf("consumer: %s %s\n", name.c_str(), config.source1_host.c_str());
  return 0;
}
