// What the four sample sites share while they serve: the configuration with the real
// hosts, and the books each source lists. Read-only once published, so the server
// threads read it without locks; the serials' growth publishes a grown copy instead, and a
// request already answering keeps the copy it started with.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "sites/site_config.hpp"
#include "tools/loopback/http_server.hpp"
#include "tools/sample-sites/catalogue.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap::sample_sites {

// One book as one source serves it: a catalogue book, or a generated one (the big book, a
// serial).
struct ServedBook {
  const SampleBook* sample = nullptr;  // null: generated
  std::string id;
  std::string name, author, intro;
  std::string name_utf8, author_utf8, intro_utf8;
  bool warning = false;
  bool capital_em = false;
  int chapter_count = 0;
  int chapter_bytes = 0;  // generated books: the text markup of every chapter
  bool serial = false;    // grows while the sites serve
};

struct ServedSites {
  sites::SiteConfig config;  // real hosts
  // What source 2's site file says the site writes into its pages: its name in its
  // site-name anchor, and its four advertising sentences, sentence 1 first.
  std::string display_name;
  std::array<std::string, 4> ad_sentences;
  Serials serials;  // chapters: as many as each serial holds now
  std::vector<ServedBook> source1;
  std::vector<ServedBook> source2;
  std::string source3_host;
  std::vector<ServedBook> source3;  // source 1's books, served in source 3's markup
};

// Source: 1 or 2. The big book (when it has chapters) and then the serials come after the
// catalogue's books.
std::vector<ServedBook> served_books(int source, const BigBook& big, const Serials& serials);
const ServedBook* find_book(const std::vector<ServedBook>& books, std::string_view id);
// Chapter n (1-based) of a served book; n must be within the book.
std::string chapter_title(const ServedBook& book, int n);
// The chapter markup as the source's page holds it, placeholders filled in.
std::string chapter_markup(const ServedBook& book, int n, int source, const ServedSites& sites);

// Each runs on its own server's thread.
loopback::Response answer_search_service(const loopback::Request& request,
                                         const ServedSites& sites);
loopback::Response answer_source1(const loopback::Request& request, const ServedSites& sites);
loopback::Response answer_source2(const loopback::Request& request, const ServedSites& sites);
loopback::Response answer_source3(const loopback::Request& request, const ServedSites& sites);

// Pages
loopback::Response gbk_page(std::string body);
loopback::Response utf8_page(std::string body);
loopback::Response not_found();

}  // namespace quillreap::sample_sites
