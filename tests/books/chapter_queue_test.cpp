// The queue between the download and the EPUB's thread: however slow the writer, the
// chapters handed over and not yet written stay within the bound, and arrive in order,
// with what follows them last.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "books/chapter_queue.hpp"

namespace quillreap::books {
namespace {

TEST(ChapterQueue, ASlowWriterHoldsTheDownloadWithinTheBound) {
  const struct {
    std::size_t text_bytes;
    QueueBound bound;
    std::size_t most_unwritten;
  } cases[] = {
      {100, {4, 1 << 20}, 4},  // the chapters
      {1000, {100, 2500}, 2},  // the bytes: two chapters and their titles
      {5000, {100, 2500}, 1},  // a chapter over the bytes goes alone
  };
  for (const auto& c : cases) {
    std::atomic<std::size_t> handed{0};
    std::size_t written = 0, most = 0;
    std::vector<std::string> titles;
    ChapterQueue queue(
        [&](std::string_view title, const Text*) {
          std::this_thread::sleep_for(std::chrono::milliseconds(2));
          most = std::max(most, handed.load() - written++);
          titles.emplace_back(title);
        },
        c.bound);
    std::vector<std::string> expected;
    for (int i = 0; i < 20; ++i) {
      expected.push_back(std::to_string(i));
      const Text text(c.text_bytes, 'x');
      queue.chapter(expected.back(), &text);
      ++handed;
    }
    // What follows the chapters comes after the last of them.
    queue.close([&] { titles.emplace_back("end"); });
    expected.push_back("end");
    queue.finish();
    EXPECT_LE(most, c.most_unwritten) << c.text_bytes;
    EXPECT_EQ(titles, expected);
  }
  // Closed while the writer still waits for more: the chapter goes before the end.
  std::vector<std::string> titles;
  ChapterQueue queue([&](std::string_view title, const Text*) { titles.emplace_back(title); });
  queue.chapter("only", nullptr);
  queue.close([&] { titles.emplace_back("end"); });
  queue.finish();
  EXPECT_EQ(titles, (std::vector<std::string>{"only", "end"}));
}

}  // namespace
}  // namespace quillreap::books
