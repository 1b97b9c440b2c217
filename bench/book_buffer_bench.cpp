// The book buffer: the headless log box the command line builds a book in, filled with a
// 12 MB book of 5,000 chapters in 15,000 appends and read back whole. (The Win32 and GTK
// bindings keep the book in their own std::string in the same way.)
#include <benchmark/benchmark.h>

#include <vector>

#include "app/headless_controls.hpp"
#include "bench/inputs.hpp"

namespace quillreap::bench {
namespace {

constexpr int kChapters = 5'000;
constexpr std::size_t kBookBytes = 12'000'000;

// Each chapter reaches the box as three appends: its heading and its text in two parts.
struct Book {
  std::vector<Text> pieces;
  std::size_t bytes = 0;
};

const Book& book() {
  static const Book value = [] {
    Book b;
    const std::size_t per_chapter = kBookBytes / kChapters;
    for (int n = 1; n <= kChapters; ++n) {
      Text heading = chapter_heading(n);
      const std::size_t text_bytes = per_chapter - heading.size();
      Text text = prose(text_bytes, static_cast<std::uint32_t>(n));
      const std::size_t half = text.size() / 2 & ~std::size_t{1};
      b.bytes += heading.size() + text.size();
      b.pieces.push_back(std::move(heading));
      b.pieces.push_back(text.substr(0, half));
      b.pieces.push_back(text.substr(half));
    }
    return b;
  }();
  return value;
}

void fill(app::Controls& box, const Book& b) {
  box.log_clear();
  for (const Text& piece : b.pieces) box.append_log(piece);
}

// On the interface thread, as the command line runs its download.
void on_interface_thread(benchmark::State& state) {
  const Book& b = book();
  std::size_t length = 0;
  for (auto _ : state) {
    app::HeadlessControls box;
    fill(box, b);
    const Text whole = box.log_text();
    length = whole.size();
    benchmark::DoNotOptimize(whole.data());
  }
  if (length != b.bytes) state.SkipWithError("the box did not hand back the whole book");
  state.counters["appends"] = static_cast<double>(b.pieces.size());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(b.bytes));
}
BENCHMARK(on_interface_thread)
    ->Name("book_buffer/12MB_15000_appends")
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillreap::bench
