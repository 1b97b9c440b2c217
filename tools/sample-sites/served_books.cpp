// The books each sample site lists: the catalogue's, then the generated big book and
// serials, and the chapter markup of each as the site's page holds it.
#include <string>
#include <utility>

#include "tools/sample-sites/served_sites.hpp"

namespace quillreap::sample_sites {
namespace {

constexpr char kBigName[] = "\xB2\xE2\xCA\xD4\xBE\xDE\xD6\xF8";  // 测试巨著
constexpr char kBigAuthor[] = "\xD8\xFD\xC3\xFB";                // 佚名
constexpr char kBigIntro[] =
    "\xD3\xC3\xD3\xDA\xB2\xE2\xCB\xD9\xB5\xC4\xB3\xA4\xC6\xAA";  // 用于测速的长篇
constexpr char kBigNameUtf8[] = "\xE6\xB5\x8B\xE8\xAF\x95\xE5\xB7\xA8\xE8\x91\x97";
constexpr char kBigAuthorUtf8[] = "\xE4\xBD\x9A\xE5\x90\x8D";
constexpr char kBigIntroUtf8[] =
    "\xE7\x94\xA8\xE4\xBA\x8E\xE6\xB5\x8B\xE9\x80\x9F\xE7\x9A\x84\xE9\x95\xBF\xE7\xAF\x87";
constexpr char kSerialName[] = "\xC1\xAC\xD4\xD8";  // 连载
constexpr char kSerialIntro[] =
    "\xB2\xE2\xCA\xD4\xB8\xFC\xD0\xC2\xD3\xC3\xB5\xC4\xC1\xAC\xD4\xD8";  // 测试更新用的连载
constexpr char kSerialNameUtf8[] = "\xE8\xBF\x9E\xE8\xBD\xBD";
constexpr char kSerialIntroUtf8[] =
    "\xE6\xB5\x8B\xE8\xAF\x95\xE6\x9B\xB4\xE6\x96\xB0\xE7\x94\xA8\xE7\x9A\x84\xE8\xBF\x9E"
    "\xE8\xBD\xBD";
constexpr char kIndent[] = "&nbsp;&nbsp;&nbsp;&nbsp;";

ServedBook from_sample(const SampleBook& book) {
  ServedBook served;
  served.sample = &book;
  served.id = book.id;
  served.name = book.name;
  served.author = book.author;
  served.intro = book.intro;
  served.name_utf8 = book.name_utf8;
  served.author_utf8 = book.author_utf8;
  served.intro_utf8 = book.intro_utf8;
  served.warning = book.warning;
  served.capital_em = book.capital_em;
  served.chapter_count = static_cast<int>(book.chapters.size());
  return served;
}

// Exactly `bytes` bytes of paragraphs of filler text separated by the source's line breaks.
std::string big_chapter_markup(int bytes, int source) {
  const std::string_view filler = filler_text();
  const std::string_view breaks = source == 1 ? "<br /><br />" : "<br><br>";
  const std::size_t size = bytes > 0 ? static_cast<std::size_t>(bytes) : 0;
  std::string out;
  out.reserve(size);
  for (;;) {
    std::size_t unit = (out.empty() ? 0 : breaks.size()) + sizeof(kIndent) - 1 + filler.size();
    if (out.size() + unit > size) break;
    if (!out.empty()) out += breaks;
    out += kIndent;
    out += filler;
  }
  // Fill up with whole characters of the filler, then an ASCII full stop for an odd byte.
  for (std::size_t i = 0; out.size() + 2 <= size; i = (i + 2) % filler.size())
    out += filler.substr(i, 2);
  if (out.size() < size) out += '.';
  return out;
}

// Chapters titled 第n章, each of `chapter_bytes` bytes of filler text.
ServedBook generated(std::string id, std::string name, std::string name_utf8, std::string intro,
                     std::string intro_utf8, int chapters, int chapter_bytes) {
  ServedBook served;
  served.id = std::move(id);
  served.name = std::move(name);
  served.author = kBigAuthor;
  served.intro = std::move(intro);
  served.name_utf8 = std::move(name_utf8);
  served.author_utf8 = kBigAuthorUtf8;
  served.intro_utf8 = std::move(intro_utf8);
  served.chapter_count = chapters;
  served.chapter_bytes = chapter_bytes;
  return served;
}

}  // namespace

std::vector<ServedBook> served_books(int source, const BigBook& big, const Serials& serials) {
  std::vector<ServedBook> books;
  for (const SampleBook& book : source == 1 ? source1_books() : source2_books())
    books.push_back(from_sample(book));
  if (big.chapters > 0) {
    books.push_back(generated(source == 1 ? "9_9" : "9999", kBigName, kBigNameUtf8, kBigIntro,
                              kBigIntroUtf8, big.chapters, big.chapter_bytes));
  }
  for (int k = 1; k <= serials.books; ++k) {
    const std::string number = std::to_string(k);
    books.push_back(generated(source == 1 ? "8_" + number : std::to_string(80000 + k),
                              kSerialName + number, kSerialNameUtf8 + number, kSerialIntro,
                              kSerialIntroUtf8, serials.chapters, serials.chapter_bytes));
    books.back().serial = true;
  }
  return books;
}

const ServedBook* find_book(const std::vector<ServedBook>& books, std::string_view id) {
  for (const ServedBook& book : books)
    if (book.id == id) return &book;
  return nullptr;
}

std::string chapter_title(const ServedBook& book, int n) {
  if (book.sample) return std::string(book.sample->chapters[n - 1].title);
  return "\xB5\xDA" + std::to_string(n) + "\xD5\xC2";  // 第n章
}

std::string chapter_markup(const ServedBook& book, int n, int source, const ServedSites& sites) {
  if (!book.sample) return big_chapter_markup(book.chapter_bytes, source);
  const std::string_view text = book.sample->chapters[n - 1].text;
  const sites::SiteConfig& config = sites.config;
  const std::string anchor_head = "<a href=\"//" + config.source2_host + "\" target=\"_blank\">-";
  std::string out;
  out.reserve(text.size() + 256);
  for (char c : text) {
    if (c == kSiteLinkAnchor) {
      out += anchor_head + config.source2_host + "-</a>";
    } else if (c == kSiteNameAnchor) {
      out += anchor_head + sites.display_name + "-</a>";
    } else if (c >= kAdSentence && c < kAdSentence + 4) {
      out += sites.ad_sentences[c - kAdSentence];
    } else if (c >= kAdSentenceNbsp && c < kAdSentenceNbsp + 4) {
      // A space byte never occurs inside a double-byte character, so a plain scan is safe.
      for (char s : sites.ad_sentences[c - kAdSentenceNbsp])
        out += s == ' ' ? std::string("&nbsp;") : std::string(1, s);
    } else {
      out += c;
    }
  }
  return out;
}

loopback::Response gbk_page(std::string body) {
  loopback::Response response;
  response.headers = {{"Content-Type", "text/html; charset=gbk"}};
  response.body = std::move(body);
  return response;
}

loopback::Response utf8_page(std::string body) {
  loopback::Response response;
  response.headers = {{"Content-Type", "text/html; charset=utf-8"}};
  response.body = std::move(body);
  return response;
}

loopback::Response not_found() {
  loopback::Response response;
  response.status = 404;
  response.reason = "Not Found";
  response.headers = {{"Content-Type", "text/html; charset=gbk"}};
  response.body =
      "<html><body><h1>404 "
      "\xD2\xB3\xC3\xE6\xB2\xBB\xB4\xE6\xD4\xDA"  // 页面不存在
      "</h1></body></html>";
  return response;
}

}  // namespace quillreap::sample_sites
