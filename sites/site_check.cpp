// Checking a site: each step runs the same cuts a search and a download run, on the pages
// the one before it led to, and stops at the first that cannot go on, since every later
// step needs what it should have found.
#include "sites/site_check.hpp"

#include <iterator>
#include <optional>
#include <string>

#include "http/retry.hpp"
#include "sites/site_search.hpp"
#include "text/markers.hpp"

namespace quillreap::sites {
namespace {

using text::concat;

// How a step ended: the rest of its line.
struct Said {
  bool good;
  Text text;
};
Said good(Text text) {
  return {true, std::move(text)};
}
Said failed(Text text) {
  return {false, std::move(text)};
}

Text counted(std::size_t n, std::string_view thing) {
  return concat(std::to_string(n), " ", thing, n == 1 ? "" : "s");
}

// Characters, not bytes: a GBK character of two bytes counts once.
std::size_t characters(const Text& text) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size(); ++i, ++n)
    if (static_cast<unsigned char>(text[i]) >= 0x81 && i + 1 < text.size()) ++i;
  return n;
}

// Which of a cut's two markers the page lacks; "" when it has both, the right one behind
// the left one, as a cut needs them.
Text lacking_marker(std::string_view page, std::string_view cut, const Text& left,
                    const Text& right, bool ignore_case) {
  const int left_at = text::find_text(page, left, 1, ignore_case);
  if (left_at <= 0) return concat("the page lacks ", cut, "'s left marker \"", left, "\"");
  if (text::find_text(page, right, left_at + text::text_length(left), ignore_case) <= 0)
    return concat("the page lacks ", cut, "'s right marker \"", right, "\" after its left one");
  return {};
}

// A list that cut nothing, and why when it was the markers.
Text nothing_listed(std::string_view nothing, std::string_view page, std::string_view cut,
                    const ListCut& list) {
  const Text lacking = lacking_marker(page, cut, list.left, list.right, !list.case_sensitive);
  return lacking.empty() ? Text(nothing) : concat(nothing, ": ", lacking);
}

Text unquoted(const Text& marker) {
  return text::replace_text(marker, text::kQuoteToken, "\"");
}

class SiteCheck {
 public:
  SiteCheck(const SourcePages& pages, const SiteConfig& config, Text word)
      : pages_(pages), site_(pages.site()), config_(config), word_(std::move(word)) {}

  Text search_label() const { return word_.empty() ? Text("search") : concat("search ", word_); }

  Said search() {
    if (word_.empty()) return failed("the site has no test word; give a word to search");
    const SearchPage search = fetch_search_page(site_, word_, config_);
    if (search.fetched.failed)
      return failed(concat(http::failure_description(search.fetched), " at ", search.address));
    const std::vector<SearchHit> hits = pages_.search_hits(search.page, search.address);
    if (hits.empty())
      return failed(nothing_listed("no hits", search.page, "the hits list", site_.hits.list));
    const SearchHit& first = hits.front();
    if (first.address.empty())
      return failed(concat("the first hit, ", first.name, ", has an empty address"));
    book_address_ = first.address;
    return good(concat(counted(hits.size(), "hit"), ", first ", first.name, " ", first.address));
  }

  Said book_page() {
    Text why;
    std::optional<Text> page = fetch(book_address_, why);
    if (!page) return failed(why);
    if (pages_.faulty_book(*page))
      return failed(concat("the site marks the book as broken: its page holds \"",
                           site_.book.refuse_if, "\""));
    index_address_ = pages_.index_address(*page, book_address_);
    if (pages_.index_on_book_page()) {
      index_page_ = std::move(*page);
      return good(concat("index at ", index_address_, " (on the book page)"));
    }
    if (index_address_.empty()) return failed("the index address cut is empty");
    return good(concat("index at ", index_address_));
  }

  Said index() {
    if (!pages_.index_on_book_page()) {
      Text why;
      std::optional<Text> page = fetch(index_address_, why);
      if (!page) return failed(why);
      index_page_ = std::move(*page);
    }
    const text::TextArray entries = pages_.index_entries(index_page_);
    if (entries.empty())
      return failed(nothing_listed("no entries", index_page_, "the index list", site_.index.list));
    first_ = pages_.chapter_link(entries.front(), index_address_);
    last_ = pages_.chapter_link(entries.back(), index_address_);
    if (first_.address.empty())
      return failed(concat("the first entry, ", first_.title, ", has an empty address"));
    return good(
        concat(counted(entries.size(), "chapter"), ", first ", first_.title, " ", first_.address));
  }

  Said first_chapter() { return chapter(first_, "first"); }
  Said last_chapter() { return chapter(last_, "last"); }

 private:
  // A page as GBK text, fetched with the tries a download gives it; nullopt, with why,
  // when it could not be had.
  std::optional<Text> fetch(const Text& address, Text& why) const {
    http::RetryPolicy policy;
    policy.tries = config_.tries;
    policy.timeouts = config_.timeouts;
    policy.ca_file = config_.ca_file;
    const http::RetriedFetch fetched = http::fetch_with_retries(address, policy);
    if (!fetched.result.failed) return pages_.page_text(fetched.result);
    why = concat(http::failure_description(fetched.result), " at ", address);
    if (fetched.tries > 1) why += concat(" (", std::to_string(fetched.tries), " tries)");
    return std::nullopt;
  }

  // The chapter's pages cut and joined as a download joins them, then cleaned.
  Said chapter(const ChapterLink& link, std::string_view which) {
    if (link.address.empty())
      return failed(concat("the ", which, " entry, ", link.title, ", has an empty address"));
    Text at = link.address, why;
    std::optional<Text> page = fetch(at, why);
    if (!page) return failed(why);
    std::optional<Text> joined = pages_.cut_chapter(*page);
    int read = 1;
    while (joined && read < pages_.most_pages()) {
      Text next = pages_.next_page(*page, at);
      if (next.empty() || next == at) break;
      page = fetch(next, why);
      if (!page) return failed(concat("page ", std::to_string(read + 1), ": ", why));
      ++read;
      at = std::move(next);
      const std::optional<Text> piece = pages_.cut_chapter(*page);
      if (!piece)
        joined.reset();
      else
        joined->append(*piece);
    }
    if (!joined) {
      const ChapterCuts& cuts = site_.chapter;
      return failed(concat(lacking_marker(*page, "the chapter text", unquoted(cuts.left),
                                          unquoted(cuts.right), false),
                           " at ", at));
    }
    const Text text = pages_.clean_chapter(std::move(*joined));
    if (text.find_first_not_of(" \t\r\n") == Text::npos)
      return failed(concat("the text is empty after cleaning at ", at));
    return good(concat(counted(characters(text), "character"), " after cleaning",
                       read > 1 ? concat(", from ", std::to_string(read), " pages") : ""));
  }

  const SourcePages& pages_;
  const Site& site_;
  const SiteConfig& config_;
  const Text word_;
  // What each step found, for the next.
  Text book_address_, index_address_, index_page_;
  ChapterLink first_, last_;
};

struct Step {
  std::string_view name;
  Said (SiteCheck::*run)();
};
constexpr Step kSteps[] = {{"search", &SiteCheck::search},
                           {"book page", &SiteCheck::book_page},
                           {"index", &SiteCheck::index},
                           {"first chapter", &SiteCheck::first_chapter},
                           {"last chapter", &SiteCheck::last_chapter}};

}  // namespace

bool check_site(const SourcePages& pages, const Text& word, const SiteConfig& config,
                const std::function<void(const Text&)>& say) {
  SiteCheck check(pages, config, word.empty() ? pages.site().test_word : word);
  for (auto step = std::begin(kSteps); step != std::end(kSteps); ++step) {
    const Said said = (check.*step->run)();
    const Text name = step == std::begin(kSteps) ? check.search_label() : Text(step->name);
    if (said.good) {
      say(concat(name, ": ", said.text));
      continue;
    }
    say(concat(name, ": failed: ", said.text));
    Text rest;
    for (auto later = step + 1; later != std::end(kSteps); ++later)
      rest += concat(rest.empty() ? "not tried: " : ", ", later->name);
    if (!rest.empty()) say(rest);
    return false;
  }
  return true;
}

}  // namespace quillreap::sites
