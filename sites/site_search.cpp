// Searching a site: the word put into the site's search address (and body), the page
// fetched once and cut into result rows.
#include "sites/site_search.hpp"

#include <cctype>

#include "http/fetch.hpp"
#include "sites/builtin_sites.hpp"
#include "sites/cut_interpreter.hpp"
#include "sites/page.hpp"
#include "sites/status_texts.hpp"
#include "text/codepage.hpp"
#include "text/markers.hpp"

namespace quillreap::sites {
namespace {

// The word as the site's pages write it, each byte outside letters, digits and "-_.~"
// written %XX; or, for a site that takes it so, its GBK bytes as they are.
Text search_key(const SearchRequest& search, const Site& site, const Text& word) {
  if (search.raw_key) return word;
  const std::string bytes = site.charset == Charset::kUtf8 || site.charset == Charset::kAuto
                                ? text::ansi_to_utf8(word)
                                : word;
  static constexpr char kHex[] = "0123456789ABCDEF";
  Text key;
  for (unsigned char c : bytes) {
    if (std::isalnum(c) && c < 0x80) {
      key += static_cast<char>(c);
    } else if (c == '-' || c == '_' || c == '.' || c == '~') {
      key += static_cast<char>(c);
    } else {
      key += '%';
      key += kHex[c >> 4];
      key += kHex[c & 15];
    }
  }
  return key;
}

Text extra_headers(const SearchRequest& search) {
  Text headers;
  for (const auto& [name, value] : search.headers)
    headers += text::concat(name, ": ", value, "\r\n");
  return headers;
}

}  // namespace

Text search_address(const Site& site, const Text& word) {
  return fill(site.search.address, {}, {}, search_key(site.search, site, word));
}

Text search_body(const Site& site, const Text& word) {
  return fill(site.search.body, {}, {}, search_key(site.search, site, word));
}

SearchPage fetch_search_page(const Site& site, const Text& word, const SiteConfig& config) {
  SearchPage search;
  search.address = search_address(site, word);
  const Text body = site.search.post ? search_body(site, word) : Text();
  Text headers = extra_headers(site.search);
  search.fetched = http::fetch_page_until_stopped(
      {}, config.timeouts, search.address, site.search.post ? http::kPost : http::kGet, body,
      nullptr, nullptr, headers.empty() ? nullptr : &headers, nullptr, false, nullptr, {},
      config.ca_file);
  if (!search.fetched.failed) search.page = page_in_gbk(search.fetched.body, site.search.charset);
  return search;
}

Text search_site(const Text& word, SearchReport& list, const SiteConfig& config,
                 const SourcePages& pages) {
  const Site& site = pages.site();
  text::do_events();
  list.set_status(text::concat(kSearchingLead, site.name, kSearchingTail));
  const SearchPage search = fetch_search_page(site, word, config);
  if (search.fetched.failed)
    list.page_failed(search.address, http::failure_description(search.fetched), 1);
  return list_search_hits(list, pages.search_hits(search.page, search.address));
}

Text search_source1(const Text& word, SearchReport& list, const SiteConfig& config) {
  return search_site(word, list, config, builtin_pages(kSource1Id, config));
}

Text search_source2(const Text& word, SearchReport& list, const SiteConfig& config) {
  return search_site(word, list, config, builtin_pages(kSource2Id, config));
}

}  // namespace quillreap::sites
