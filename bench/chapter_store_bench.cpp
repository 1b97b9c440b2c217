// The chapter store with a 12 MB book of 5,000 chapters: keeping every chapter as a
// download does (one append each), and opening the kept store and finding every chapter,
// as the next download of the same book starts.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <vector>

#include "bench/inputs.hpp"
#include "download/chapter_store.hpp"

namespace quillreap::bench {
namespace {

constexpr int kChapters = 5'000;
constexpr std::size_t kBookBytes = 12'000'000;
constexpr char kBook[] = "http://127.0.0.1:18062/9_9/";

struct Chapter {
  Text address, title, text;
};

const std::vector<Chapter>& chapters() {
  static const std::vector<Chapter> value = [] {
    std::vector<Chapter> out;
    for (int n = 1; n <= kChapters; ++n)
      out.push_back({Text(kBook) + std::to_string(n) + ".html", chapter_heading(n),
                     prose(kBookBytes / kChapters, static_cast<std::uint32_t>(n))});
    return out;
  }();
  return value;
}

// A fresh book directory, removed afterwards.
class BookDirectory {
 public:
  BookDirectory() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("quillreap-bench-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~BookDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  Text text() const { return path_.generic_string(); }

 private:
  std::filesystem::path path_;
};

void keep_all(const Text& directory, download::ChapterStore::Mode mode) {
  download::ChapterStore store(directory, kBook, mode);
  for (const Chapter& chapter : chapters())
    store.keep(chapter.address, chapter.title, chapter.text);
}

void keep_every_chapter(benchmark::State& state) {
  const BookDirectory directory;
  chapters();
  for (auto _ : state) keep_all(directory.text(), download::ChapterStore::Mode::kFresh);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kBookBytes));
}
BENCHMARK(keep_every_chapter)
    ->Name("chapter_store/keep_12MB_5000_chapters")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void open_and_find_every_chapter(benchmark::State& state) {
  const BookDirectory directory;
  keep_all(directory.text(), download::ChapterStore::Mode::kFresh);
  int found = 0;
  for (auto _ : state) {
    download::ChapterStore store(directory.text(), kBook);
    for (const Chapter& chapter : chapters())
      benchmark::DoNotOptimize(store.read(chapter.address, chapter.title));
    found = store.found_count();
  }
  if (found != kChapters) state.SkipWithError("the store did not find every chapter");
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kBookBytes));
}
BENCHMARK(open_and_find_every_chapter)
    ->Name("chapter_store/open_and_find_12MB_5000_chapters")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace quillreap::bench
