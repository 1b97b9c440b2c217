// The text operations on GBK chapter pages of 10 KB, 1 MB and 8 MB: every one of them must
// cost time in proportion to its input, so a long page is no worse per byte than a short.
// The 10 KB figure is also taken over 800 different pages in turn (8 MB in all), each
// page's result kept until its turn comes again, so that input and output live in the same
// level of memory as the 8 MB page's do; a lone 10 KB page and its result sit in the
// first-level cache and are no guide to how the cost grows with the input.
#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <vector>

#include "bench/inputs.hpp"
#include "sites/builtin_sites.hpp"
#include "text/markers.hpp"

namespace quillreap::bench {
namespace {

constexpr std::size_t kSmall = 10'000;
constexpr std::size_t kSizes[] = {kSmall, 1'000'000, 8'000'000};
// 800 small pages hold as many bytes as the 8 MB page.
constexpr int kColdPages = 800;

const sites::SiteConfig& config() {
  static const sites::SiteConfig value = sites::SiteConfig::defaults();
  return value;
}

const Text& page(std::size_t size) {
  static std::map<std::size_t, Text> pages;
  auto found = pages.find(size);
  if (found == pages.end()) found = pages.emplace(size, source2_chapter_page(size, config())).first;
  return found->second;
}

const std::vector<Text>& cold_pages() {
  static const std::vector<Text> pages = [] {
    std::vector<Text> out;
    for (int n = 0; n < kColdPages; ++n) {
      out.push_back(source2_chapter_page(kSmall, config(), 100 + static_cast<std::uint32_t>(n)));
    }
    return out;
  }();
  return pages;
}

// Where an operation leaves its result; the previous result goes when it is replaced.
struct Output {
  Text text;
  text::TextArray pieces;
};

// Each operation returns a number that shows it did its work (a position, a length or a
// count); 0 or less means the input was not what the benchmark meant to measure.
using Operation = long (*)(const Text&, Output&);

// The chapter text's closing marker sits at the page's end: the whole page is walked.
long find_text(const Text& input, Output&) {
  return text::find_text(input, "<br /><br /></div>");
}

// The chapter text cut out whole, as the source 2 download cuts it.
long text_between(const Text& input, Output& output) {
  output.text =
      text::text_between(input, "contentbox#\xD2\xFD\xBA\xC5><br />", "<br /><br /></div>");
  return static_cast<long>(output.text.size());
}

// Every paragraph: from its indent to the next line-break tag, letters in either case.
long text_between_all(const Text& input, Output& output) {
  return text::text_between_all(input, "&nbsp;&nbsp;&nbsp;&nbsp;", "<br>", output.pieces);
}

// The source 2 download's first cleaning table, run over the whole page.
long replace_many(const Text& input, Output& output) {
  static const sites::Site site = sites::builtin_site(sites::kSource2Id, config());
  static const Text ads[] = {site.value("ad_sentence_1"), site.value("ad_sentence_2")};
  static const Text link = text::concat("<a href=\"//", config().source2_host,
                                        "\" target=\"_blank\">-", config().source2_host, "-</a>");
  output.text = text::replace_many(input, std::nullopt, 1, false, "&nbsp;", " ", "<br>", "\r\n",
                                   link, "", ads[1], "", ads[0], "");
  return static_cast<long>(output.text.size());
}

// One pair: every line-break tag, in either case, to CR LF.
long replace_text(const Text& input, Output& output) {
  output.text = text::replace_text(input, "<br>", "\r\n", 1, std::nullopt, false);
  return static_cast<long>(output.text.size());
}

// The page split into paragraphs at their line-break pairs.
long split_text(const Text& input, Output& output) {
  output.pieces = text::split_text(input, "<br><br>");
  return static_cast<long>(output.pieces.size());
}

void one_page(benchmark::State& state, Operation operation, std::size_t size) {
  const Text& input = page(size);
  Output output;
  long result = 0;
  for (auto _ : state) {
    result = operation(input, output);
    benchmark::DoNotOptimize(result);
  }
  if (result <= 0) state.SkipWithError("the operation found nothing to work on");
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
}

// One small page per iteration, the next one each time.
void cold_page(benchmark::State& state, Operation operation) {
  const std::vector<Text>& inputs = cold_pages();
  std::vector<Output> outputs(inputs.size());
  std::size_t next = 0;
  std::int64_t bytes = 0;
  long result = 1;
  for (auto _ : state) {
    const Text& input = inputs[next];
    const long r = operation(input, outputs[next]);
    benchmark::DoNotOptimize(r);
    if (r <= 0) result = r;
    bytes += static_cast<std::int64_t>(input.size());
    next = next + 1 == inputs.size() ? 0 : next + 1;
  }
  if (result <= 0) state.SkipWithError("the operation found nothing to work on");
  state.SetBytesProcessed(bytes);
}

const int registered = [] {
  const std::pair<const char*, Operation> operations[] = {
      {"find_text", find_text},
      {"text_between", text_between},
      {"text_between_all", text_between_all},
      {"replace_many", replace_many},
      {"replace_text", replace_text},
      {"split_text", split_text},
  };
  for (const auto& [name, operation] : operations) {
    for (std::size_t size : kSizes) {
      benchmark::RegisterBenchmark((std::string(name) + "/" + std::to_string(size)).c_str(),
                                   one_page, operation, size)
          ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark(
        (std::string(name) + "/" + std::to_string(kSmall) + "/800_pages").c_str(), cold_page,
        operation)
        ->Unit(benchmark::kMicrosecond);
  }
  return 0;
}();

}  // namespace
}  // namespace quillreap::bench
