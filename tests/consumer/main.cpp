// Uses one layer through its public headers only, built once per library: a book file
// name (books), the build's site settings (sites), a chapter store's file name (download).
// The program the test command runs starts the three in turn.
#include <cstdio>
#include <cstdlib>
#include <string>

#if defined(CONSUMER_BOOKS)
#include "books/book_file.hpp"
#elif defined(CONSUMER_SITES)
#include "sites/site_config.hpp"
#elif defined(CONSUMER_DOWNLOAD)
#include "download/chapter_store.hpp"
#endif

int main() {
#if defined(CONSUMER_ALL)
  for (const char* layer : {"sites", "books", "download"}) {
    const std::string program = std::string(CONSUMER_DIR) + "/consumer_" + layer;
    if (std::system(program.c_str()) != 0) {
      std::fprintf(stderr, "consumer: %s failed\n", program.c_str());
      return 1;
    }
  }
  return 0;
#else
  using namespace quillreap;
#if defined(CONSUMER_BOOKS)
  const text::Text value = books::safe_book_file_name("a/b:c");
  const bool right = value == "a_b_c";
#elif defined(CONSUMER_SITES)
  const text::Text value = sites::SiteConfig::defaults().source1_host;
  const bool right = !value.empty();
#elif defined(CONSUMER_DOWNLOAD)
  const text::Text value = download::chapter_store_file_name("http://a/b/");
  const bool right = !value.empty();
#endif
  if (!right) {
    std::fprintf(stderr, "consumer: unexpected %s\n", value.c_str());
    return 1;
  }
  std::printf("consumer: %s\n", value.c_str());
  return 0;
#endif
}
