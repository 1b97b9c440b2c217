// quillreap-fetch-loop: fetch_page on every address of a file, one after another, and
// nothing else; bench/download times it beside the whole download and the curl floor to
// show how much of a download's time is the HTTP client and how much the rest.
#include <cstdio>
#include <fstream>
#include <string>

#include "http/fetch.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: quillreap-fetch-loop FILE (one address a line)\n", stderr);
    return 2;
  }
  std::ifstream addresses(argv[1]);
  std::string address;
  int failed = 0;
  while (std::getline(addresses, address)) {
    if (!address.empty() && quillreap::http::fetch_page(address).failed) ++failed;
  }
  if (failed > 0) std::fprintf(stderr, "quillreap-fetch-loop: %d fetches failed\n", failed);
  return failed > 0 ? 1 : 0;
}
