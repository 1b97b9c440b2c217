// The per-page work of the downloads away from the network: cutting a 20,000-entry chapter
// index, and cutting and cleaning one 10 KB chapter page, as the source downloads do it.
#include <benchmark/benchmark.h>

#include "bench/inputs.hpp"
#include "sites/builtin_sites.hpp"
#include "sites/page.hpp"
#include "text/markers.hpp"

namespace quillreap::bench {
namespace {

constexpr int kIndexEntries = 20'000;
constexpr std::size_t kIndexBytes = 2'000'000;
constexpr std::size_t kChapterBytes = 10'000;

const sites::SiteConfig& config() {
  static const sites::SiteConfig value = sites::SiteConfig::defaults();
  return value;
}

const sites::SourcePages& pages(std::string_view id) {
  static const sites::SourcePages source1 = sites::builtin_pages(sites::kSource1Id, config());
  static const sites::SourcePages source2 = sites::builtin_pages(sites::kSource2Id, config());
  return id == sites::kSource1Id ? source1 : source2;
}

const Text& index_page() {
  static const Text page = source2_index_page(kIndexEntries, kIndexBytes);
  return page;
}

// The chapter entries, as the source 2 download cuts them (an apostrophe behind each).
void index_entries(benchmark::State& state) {
  const Text& page = index_page();
  text::TextArray entries;
  for (auto _ : state) {
    text::text_between_all(page, "<li><strong ><a ", "</strong ></li>", entries, false, 0, {}, "'");
    benchmark::DoNotOptimize(entries.data());
  }
  if (entries.size() != kIndexEntries) state.SkipWithError("wrong number of entries");
  state.counters["entries"] = static_cast<double>(entries.size());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(index_entries)->Name("index/text_between_all")->Unit(benchmark::kMillisecond);

// The entries, then each entry's link and title, as the chapter loop reads them.
void index_links_and_titles(benchmark::State& state) {
  const Text& page = index_page();
  std::size_t bytes = 0;
  for (auto _ : state) {
    text::TextArray entries;
    text::text_between_all(page, "<li><strong ><a ", "</strong ></li>", entries, false, 0, {}, "'");
    bytes = 0;
    for (const Text& entry : entries) {
      const Text link =
          text::text_between(entry, "href=#\xD2\xFD\xBA\xC5", "#\xD2\xFD\xBA\xC5 title=");
      const Text title = text::text_between(entry, ">", "</a>");
      bytes += link.size() + title.size();
    }
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(index_links_and_titles)->Name("index/links_and_titles")->Unit(benchmark::kMillisecond);

// One chapter page: the test that its text is there, the cut, and both cleaning tables.
void source2_chapter(benchmark::State& state) {
  const Text page = source2_chapter_page(kChapterBytes, config());
  std::size_t length = 0;
  for (auto _ : state) {
    const std::optional<Text> cleaned = pages(sites::kSource2Id).chapter_text(page);
    if (!cleaned) break;
    length = cleaned->size();
    benchmark::DoNotOptimize(cleaned);
  }
  if (length == 0) state.SkipWithError("chapter text not cut");
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(source2_chapter)->Name("chapter/source2_cut_and_clean");

// The two source 2 tables alone on 10 KB of chapter text.
void source2_clean(benchmark::State& state) {
  const Text chapter = source2_chapter_markup(kChapterBytes, config());
  for (auto _ : state) {
    benchmark::DoNotOptimize(pages(sites::kSource2Id).clean_chapter(chapter));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(chapter.size()));
}
BENCHMARK(source2_clean)->Name("chapter/source2_clean");

// The source 1 table on 10 KB of chapter text.
void source1_clean(benchmark::State& state) {
  const Text chapter = source1_chapter_markup(kChapterBytes);
  for (auto _ : state) benchmark::DoNotOptimize(pages(sites::kSource1Id).clean_chapter(chapter));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(chapter.size()));
}
BENCHMARK(source1_clean)->Name("chapter/source1_clean");

}  // namespace
}  // namespace quillreap::bench
