// The two source 2 cleaning tables: markup, the site's own anchors and the advertising
// sentences it writes into chapter text.
#include <optional>

#include "sites/cleanup.hpp"
#include "text/markers.hpp"

namespace quillreap::sites {
namespace {

// "请大家搜索看最全！更新最快的小说"
constexpr std::string_view kSearchSlogan =
    "\xC7\xEB\xB4\xF3\xBC\xD2\xCB\xD1\xCB\xF7\xBF\xB4\xD7\xEE\xC8\xAB\xA3\xA1\xB8\xFC\xD0\xC2\xD7"
    "\xEE\xBF\xEC\xB5\xC4\xD0\xA1\xCB\xB5";

// The anchor the site puts into chapters: a link to itself whose text is label.
Text site_anchor(const Text& host, const Text& label) {
  return text::concat("<a href=\"//", host, "\" target=\"_blank\">-", label, "-</a>");
}

}  // namespace

Text clean_source2_chapter(const Text& chapter, const SiteConfig& config) {
  const auto& ads = config.source2_ad_sentences;
  // "&nbsp;" goes first: the page may write an advertising sentence's space as "&nbsp;",
  // and the sentences are only found once it is a space again.
  const Text first =
      text::replace_many(chapter, std::nullopt, 1, false,                            //
                         "&nbsp;", " ",                                              //
                         "<br>", "\r\n",                                             //
                         site_anchor(config.source2_host, config.source2_host), "",  //
                         ads[1], "",                                                 //
                         ads[0], "");
  return text::replace_many(first, std::nullopt, 1, false,  //
                            site_anchor(config.source2_host, config.source2_display_name), "",
                            ads[3], "",  //
                            ads[2], "",  //
                            kSearchSlogan, "");
}

}  // namespace quillreap::sites
