// Where the EPUB's time goes, for a 12 MB book of 5,000 chapters of indented paragraphs:
// each step of a chapter's way into the archive alone (conversion to UTF-8, the markup's
// escaping, the paragraphs, deflate, the writes), the whole book, and what the download
// thread pays to hand a chapter over.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <vector>

#include "bench/inputs.hpp"
#include "books/chapter_queue.hpp"
#include "books/epub_book.hpp"
#include "books/epub_text.hpp"
#include "books/zip_writer.hpp"
#include "text/cp936.hpp"

namespace quillreap::bench {
namespace {

constexpr int kChapters = 5'000;
constexpr std::size_t kChapterBytes = 2'400;
constexpr std::int64_t kBookBytes = std::int64_t{kChapters} * kChapterBytes;

struct Chapter {
  Text title, text;
};

// Each chapter as the cleaned text of a site holds it: paragraphs behind a full-width
// indent, one a line.
const std::vector<Chapter>& chapters() {
  static const std::vector<Chapter> value = [] {
    std::vector<Chapter> out;
    for (int n = 1; n <= kChapters; ++n) {
      Text text;
      for (std::uint32_t seed = static_cast<std::uint32_t>(n) * 31u; text.size() < kChapterBytes;
           ++seed)
        text += text::concat("\xA1\xA1\xA1\xA1", prose(160 + seed % 200, seed), "\r\n");
      out.push_back({text::concat("\xB5\xDA", std::to_string(n), "\xD5\xC2"), text});  // 第n章
    }
    return out;
  }();
  return value;
}

// The chapter files as the EPUB holds them (heading and paragraphs), made once.
const std::vector<std::string>& chapter_files() {
  static const std::vector<std::string> value = [] {
    std::vector<std::string> out;
    for (const Chapter& chapter : chapters()) {
      out.push_back(text::concat("<h2>", books::xml_text(chapter.title), "</h2>\n",
                                 books::xml_paragraphs(chapter.text).markup));
    }
    return out;
  }();
  return value;
}

// A fresh directory, removed afterwards.
class Directory {
 public:
  Directory() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("quillreap-bench-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~Directory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  Text text() const { return path_.generic_string(); }

 private:
  std::filesystem::path path_;
};

template <typename Each>
void per_chapter(benchmark::State& state, Each each) {
  chapters();
  for (auto _ : state)
    for (const Chapter& chapter : chapters()) each(chapter);
  state.SetBytesProcessed(state.iterations() * kBookBytes);
}

void convert(benchmark::State& state) {
  per_chapter(state,
              [](const Chapter& c) { benchmark::DoNotOptimize(text::cp936_to_utf8(c.text)); });
}
BENCHMARK(convert)->Name("epub/convert_12MB_5000_chapters")->Unit(benchmark::kMillisecond);

void escape(benchmark::State& state) {
  per_chapter(state, [](const Chapter& c) { benchmark::DoNotOptimize(books::xml_text(c.text)); });
}
BENCHMARK(escape)->Name("epub/xml_text_12MB_5000_chapters")->Unit(benchmark::kMillisecond);

void paragraphs(benchmark::State& state) {
  per_chapter(state,
              [](const Chapter& c) { benchmark::DoNotOptimize(books::xml_paragraphs(c.text)); });
}
BENCHMARK(paragraphs)
    ->Name("epub/xml_paragraphs_12MB_5000_chapters")
    ->Unit(benchmark::kMillisecond);

// The chapter files into an archive, deflated (as the EPUB) or stored (the writes alone).
void archive(benchmark::State& state, bool deflate) {
  const Directory directory;
  chapter_files();
  for (auto _ : state) {
    books::ZipWriter zip(directory.text() + "/book.zip", {});
    for (std::size_t i = 0; i < chapter_files().size(); ++i)
      zip.add(text::concat("c", std::to_string(i)), chapter_files()[i], deflate);
    benchmark::DoNotOptimize(zip.finish());
  }
  state.SetBytesProcessed(state.iterations() * kBookBytes);
}
BENCHMARK_CAPTURE(archive, deflated, true)
    ->Name("epub/deflate_and_write_12MB_5000_chapters")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(archive, stored, false)
    ->Name("epub/write_stored_12MB_5000_chapters")
    ->Unit(benchmark::kMillisecond);

// The whole EPUB as a download writes it: wall time, and the CPU time of both threads.
void whole_book(benchmark::State& state) {
  const Directory directory;
  chapters();
  for (auto _ : state) {
    books::EpubBook book(directory.text(), {"http://127.0.0.1/book/1.html", "book", "", ""},
                         1700000000);
    for (const Chapter& chapter : chapters()) book.chapter(chapter.title, &chapter.text);
    benchmark::DoNotOptimize(book.finish());
  }
  state.SetBytesProcessed(state.iterations() * kBookBytes);
}
BENCHMARK(whole_book)
    ->Name("epub/book_12MB_5000_chapters")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// What the download thread pays per chapter: the copy into the queue and its lock, with a
// writer that does nothing.
void hand_over(benchmark::State& state) {
  chapters();
  for (auto _ : state) {
    books::ChapterQueue queue([](std::string_view, const text::Text*) {});
    for (const Chapter& chapter : chapters()) queue.chapter(chapter.title, &chapter.text);
    queue.finish();
  }
  state.SetBytesProcessed(state.iterations() * kBookBytes);
}
BENCHMARK(hand_over)->Name("epub/hand_over_12MB_5000_chapters")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillreap::bench
