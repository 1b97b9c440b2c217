// Generated benchmark inputs: Chinese prose drawn from the GB2312 level-1 characters, with
// the punctuation, indents, line-break tags, anchors and advertising the real chapter
// pages carry, laid out in each site's markup.
#include "bench/inputs.hpp"

#include <string_view>

#include "sites/builtin_sites.hpp"
#include "text/codepage.hpp"

namespace quillreap::bench {
namespace {

constexpr std::string_view kIndent = "&nbsp;&nbsp;&nbsp;&nbsp;";
constexpr std::string_view kComma = "\xA3\xAC";  // ，
constexpr std::string_view kEnds[] = {"\xA1\xA3", "\xA1\xA3", "\xA1\xA3", "\xA3\xA1",
                                      "\xA3\xBF"};                          // 。。。！？
constexpr std::string_view kSay = "\xA3\xBA\xA1\xB0";                       // ：“
constexpr std::string_view kSaid = "\xA1\xB1";                              // ”
constexpr std::string_view kChapterWord = "\xB5\xDA";                       // 第
constexpr std::string_view kChapterSuffix = "\xD5\xC2 ";                    // 章 and a space
constexpr std::string_view kIndexWord = "\xC4\xBF\xC2\xBC";                 // 目录
constexpr std::string_view kBookName = "\xB2\xE2\xCA\xD4\xBE\xDE\xD6\xF8";  // 测试巨著
// 请大家搜索看最全！更新最快的小说
constexpr std::string_view kSlogan =
    "\xC7\xEB\xB4\xF3\xBC\xD2\xCB\xD1\xCB\xF7\xBF\xB4\xD7\xEE\xC8\xAB\xA3\xA1\xB8\xFC\xD0\xC2\xD7"
    "\xEE\xBF\xEC\xB5\xC4\xD0\xA1\xCB\xB5";
constexpr std::string_view kHead =
    "<!DOCTYPE html>\r\n<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
    "charset=gb2312\" /><title>";

// A small linear congruential generator: the same bytes on every machine and run.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed) {}
  std::uint32_t below(std::uint32_t n) {
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) % n;
  }

 private:
  std::uint32_t state_;
};

class Writer {
 public:
  explicit Writer(std::uint32_t seed) : random_(seed) {}

  void hanzi(Text& out, int count) {
    for (int i = 0; i < count; ++i) {
      out += static_cast<char>(0xB0 + random_.below(0xD7 - 0xB0));
      out += static_cast<char>(0xA1 + random_.below(0xFF - 0xA1));
    }
  }

  void sentence(Text& out) {
    const bool spoken = random_.below(5) == 0;
    if (spoken) {
      hanzi(out, 2 + static_cast<int>(random_.below(3)));
      out += kSay;
    }
    const int clauses = 1 + static_cast<int>(random_.below(3));
    for (int c = 0; c < clauses; ++c) {
      if (c > 0) out += kComma;
      hanzi(out, 4 + static_cast<int>(random_.below(11)));
    }
    out += kEnds[random_.below(std::size(kEnds))];
    if (spoken) out += kSaid;
  }

  Text paragraph() {
    Text out;
    const int sentences = 2 + static_cast<int>(random_.below(5));
    for (int s = 0; s < sentences; ++s) sentence(out);
    return out;
  }

  std::uint32_t below(std::uint32_t n) { return random_.below(n); }

 private:
  Random random_;
};

Text site_anchor(const Text& host, const Text& label) {
  return text::concat("<a href=\"//", host, "\" target=\"_blank\">-", label, "-</a>");
}

// What the source 2 site mixes into its chapter text, one kind after another.
Text noise(int kind, const sites::SiteConfig& config) {
  const sites::Site site = sites::builtin_site(sites::kSource2Id, config);
  const Text ads[] = {site.value("ad_sentence_1"), site.value("ad_sentence_2"),
                      site.value("ad_sentence_3"), site.value("ad_sentence_4")};
  switch (kind % 8) {
    case 0:
      return ads[0];
    case 1:
      return site_anchor(config.source2_host, config.source2_host);
    case 2:
      return ads[1];
    case 3:
      return ads[2];
    case 4:
      return site_anchor(config.source2_host, site.value("display_name"));
    case 5:
      return ads[3];
    case 6:
      return Text(kSlogan);
    default:
      return text::replace_text(ads[0], " ", "&nbsp;");
  }
}

// Pads with whole characters, then one ASCII full stop for an odd byte.
void fill_to(Text& out, std::size_t size, Writer& writer) {
  while (out.size() + 2 <= size) writer.hanzi(out, 1);
  if (out.size() < size) out += '.';
}

// Paragraphs joined by `breaks`, each opened by the indent; every fourth paragraph carries
// one piece of noise when a configuration is given.
Text chapter_markup(std::size_t size, std::string_view breaks, const sites::SiteConfig* config,
                    std::uint32_t seed) {
  Writer writer(seed);
  Text out;
  out.reserve(size);
  int kind = 0;
  for (int n = 0;; ++n) {
    Text paragraph = writer.paragraph();
    if (config && n % 4 == 1) paragraph += noise(kind++, *config);
    const std::size_t unit = (out.empty() ? 0 : breaks.size()) + kIndent.size() + paragraph.size();
    if (out.size() + unit > size) break;
    if (!out.empty()) out += breaks;
    out += kIndent;
    out += paragraph;
  }
  fill_to(out, size, writer);
  return out;
}

Text page_head(std::string_view title) {
  return text::concat(kHead, title, "</title></head>\r\n<body>\r\n");
}

}  // namespace

Text source2_chapter_markup(std::size_t size, const sites::SiteConfig& config, std::uint32_t seed) {
  return chapter_markup(size, "<br><br>", &config, seed);
}

Text source1_chapter_markup(std::size_t size) {
  return chapter_markup(size, "<br /><br />", nullptr, 1);
}

Text source2_chapter_page(std::size_t size, const sites::SiteConfig& config, std::uint32_t seed) {
  const Text title = chapter_heading(1).substr(4, 12);
  const Text top = text::concat(page_head(title), "<h1>", title,
                                "</h1>\r\n<div id=\"content\" class=\"contentbox\"><br />");
  const Text foot = text::concat(
      "<br /><br /></div>\r\n<div class=\"page\"><a href=\"/Html/1001/"
      "Index.html\">",
      kIndexWord, "</a></div>\r\n</body></html>\r\n");
  const std::size_t frame = top.size() + foot.size();
  const std::size_t inner = size > frame ? size - frame : 0;
  return text::concat(top, source2_chapter_markup(inner, config, seed), foot);
}

Text chapter_heading(int number) {
  Writer writer(static_cast<std::uint32_t>(number) * 7919u);
  Text title = text::concat(kChapterWord, std::to_string(number), kChapterSuffix);
  writer.hanzi(title, 3 + static_cast<int>(writer.below(6)));
  return text::concat("\r\n\r\n", title, "\r\n\r\n");
}

Text source2_index_page(int entries, std::size_t size) {
  Text page = text::concat(page_head(kBookName), "<div class=\"List\"><h1>", kBookName,
                           "</h1>\r\n<ul>\r\n");
  const Text foot = "</ul></div>\r\n</body></html>\r\n";
  const std::size_t per_entry =
      entries > 0 ? (size - page.size() - foot.size()) / static_cast<std::size_t>(entries) : 0;
  Writer writer(3);
  page.reserve(size);
  for (int n = 1; n <= entries; ++n) {
    const Text number = std::to_string(n);
    Text title = text::concat(kChapterWord, number, kChapterSuffix);
    // The entry holds the title twice around 63 bytes of markup and the link's number.
    const std::size_t fixed = 63 + number.size() + 2 * title.size();
    const int characters = per_entry > fixed + 4 ? static_cast<int>((per_entry - fixed) / 4) : 1;
    writer.hanzi(title, characters);
    page += text::concat("<li><strong ><a href=\"", number, ".html\" title=\"", title, "\">", title,
                         "</a></strong ></li>\r\n");
  }
  return page + foot;
}

std::string utf8_page(std::size_t size, const sites::SiteConfig& config) {
  // Chinese takes three bytes in UTF-8 for two in GBK; markup takes the same.
  std::string utf8 = text::ansi_to_utf8(source2_chapter_page(size * 3 / 4, config));
  while (utf8.size() < size) utf8 += text::ansi_to_utf8(source2_chapter_markup(size / 4, config));
  std::size_t cut = size;
  while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;
  utf8.resize(cut);
  return utf8;
}

Text prose(std::size_t size, std::uint32_t seed) {
  Writer writer(seed);
  Text out;
  out.reserve(size);
  for (;;) {
    Text paragraph = writer.paragraph();
    if (out.size() + paragraph.size() > size) break;
    out += paragraph;
  }
  fill_to(out, size, writer);
  return out;
}

}  // namespace quillreap::bench
