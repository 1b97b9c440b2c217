// The text operations on GBK chapter pages of 10 KB, 1 MB and 8 MB: every one of them must
// cost time in proportion to its input, so a long page is no worse per byte than a short.
#include <benchmark/benchmark.h>

#include <map>
#include <optional>

#include "bench/inputs.hpp"
#include "text/markers.hpp"

namespace quillreap::bench {
namespace {

// The page sizes measured: the 8 MB page is 800 times the 10 KB one.
constexpr std::int64_t kSizes[] = {10'000, 1'000'000, 8'000'000};

const sources::SiteConfig& config() {
  static const sources::SiteConfig value = sources::SiteConfig::defaults();
  return value;
}

const Text& page(std::int64_t size) {
  static std::map<std::int64_t, Text> pages;
  auto found = pages.find(size);
  if (found == pages.end()) {
    found =
        pages.emplace(size, source2_chapter_page(static_cast<std::size_t>(size), config())).first;
  }
  return found->second;
}

void sized(benchmark::internal::Benchmark* b) {
  for (std::int64_t size : kSizes) b->Arg(size);
  b->Unit(benchmark::kMicrosecond);
}

void count_bytes(benchmark::State& state, const Text& input) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
}

// The chapter text's closing marker sits at the page's end: the whole page is walked.
void find_text(benchmark::State& state) {
  const Text& input = page(state.range(0));
  int at = 0;
  for (auto _ : state) {
    at = text::find_text(input, "<br /><br /></div>");
    benchmark::DoNotOptimize(at);
  }
  if (at < 0) state.SkipWithError("closing marker not found");
  count_bytes(state, input);
}
BENCHMARK(find_text)->Apply(sized);

// The chapter text cut out whole, as the source 2 download cuts it.
void text_between(benchmark::State& state) {
  const Text& input = page(state.range(0));
  std::size_t length = 0;
  for (auto _ : state) {
    Text piece =
        text::text_between(input, "contentbox#\xD2\xFD\xBA\xC5><br />", "<br /><br /></div>");
    length = piece.size();
    benchmark::DoNotOptimize(piece);
  }
  if (length < input.size() / 2) state.SkipWithError("chapter text not cut");
  count_bytes(state, input);
}
BENCHMARK(text_between)->Apply(sized);

// Every paragraph: from its indent to the next line-break tag, letters in either case.
void text_between_all(benchmark::State& state) {
  const Text& input = page(state.range(0));
  text::TextArray pieces;
  for (auto _ : state) {
    text::text_between_all(input, "&nbsp;&nbsp;&nbsp;&nbsp;", "<br>", pieces);
    benchmark::DoNotOptimize(pieces.data());
  }
  if (pieces.empty()) state.SkipWithError("no paragraph cut");
  state.counters["pieces"] = static_cast<double>(pieces.size());
  count_bytes(state, input);
}
BENCHMARK(text_between_all)->Apply(sized);

// The source 2 download's first cleaning table, run over the whole page.
void replace_many(benchmark::State& state) {
  const Text& input = page(state.range(0));
  const auto& ads = config().source2_ad_sentences;
  const Text link = text::concat("<a href=\"//", config().source2_host, "\" target=\"_blank\">-",
                                 config().source2_host, "-</a>");
  for (auto _ : state) {
    Text out = text::replace_many(input, std::nullopt, 1, false, "&nbsp;", " ", "<br>", "\r\n",
                                  link, "", ads[1], "", ads[0], "");
    benchmark::DoNotOptimize(out);
  }
  count_bytes(state, input);
}
BENCHMARK(replace_many)->Apply(sized);

// One pair: every line-break tag, in either case, to CR LF.
void replace_text(benchmark::State& state) {
  const Text& input = page(state.range(0));
  for (auto _ : state) {
    Text out = text::replace_text(input, "<br>", "\r\n", 1, std::nullopt, false);
    benchmark::DoNotOptimize(out);
  }
  count_bytes(state, input);
}
BENCHMARK(replace_text)->Apply(sized);

// The page split into paragraphs at their line-break pairs.
void split_text(benchmark::State& state) {
  const Text& input = page(state.range(0));
  std::size_t pieces = 0;
  for (auto _ : state) {
    text::TextArray out = text::split_text(input, "<br><br>");
    pieces = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["pieces"] = static_cast<double>(pieces);
  count_bytes(state, input);
}
BENCHMARK(split_text)->Apply(sized);

}  // namespace
}  // namespace quillreap::bench
