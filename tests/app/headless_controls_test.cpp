// The headless controls: a worker's calls are synchronous requests carried out on the
// interface thread; the tests' spy on them catches any call that runs elsewhere.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "app/headless_controls.hpp"
#include "app/interface_thread.hpp"
#include "tests/support/app/spy_controls.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"

namespace quillreap::app {
namespace {

using namespace std::chrono_literals;

// Runs work on a thread of its own while the interface thread pumps until it is done.
template <typename Work>
void run_on_worker(test_support::SpyControls& controls, Work work) {
  std::atomic<bool> done{false};
  std::thread worker([&] {
    work();
    done = true;
    controls.dispatcher().notify();
  });
  EXPECT_TRUE(controls.pump_until([&] { return done.load(); }, 60s));
  worker.join();
}

TEST(HeadlessControls, ListBehavesLikeTheResultList) {
  test_support::SpyControls controls;
  EXPECT_EQ(controls.list_append_row(), 0);
  EXPECT_EQ(controls.list_append_row(), 1);
  controls.list_set_cell(1, 2, "简介");
  controls.list_set_cell(5, 0, "nowhere");  // no such row: ignored
  controls.list_set_cell(0, 5, "nowhere");  // no such column: ignored
  EXPECT_EQ(controls.list_get_cell(1, 2), "简介");
  EXPECT_EQ(controls.list_get_cell(-1, 0), "");
  EXPECT_EQ(controls.list_get_cell(2, 0), "");
  EXPECT_EQ(controls.list_get_cell(0, 4), "");

  EXPECT_EQ(controls.list_selected_row(), -1);
  controls.list_select_row(1);
  EXPECT_EQ(controls.list_selected_row(), 1);
  controls.list_select_row(7);  // a row the list does not have changes nothing
  EXPECT_EQ(controls.list_selected_row(), 1);
  controls.list_select_row(-1);
  EXPECT_EQ(controls.list_selected_row(), -1);

  controls.list_select_row(0);
  controls.list_clear();
  EXPECT_EQ(controls.row_count(), 0);
  EXPECT_EQ(controls.list_selected_row(), -1);
  controls.list_select_row(0);  // row 0 of an empty list
  EXPECT_EQ(controls.list_selected_row(), -1);
}

TEST(HeadlessControls, RecordsStatusAndBusyHistory) {
  test_support::SpyControls controls;
  std::vector<Text> seen;
  controls.set_status_callback([&](const Text& text) { seen.push_back(text); });
  controls.set_status("一");
  controls.set_status("");
  controls.set_busy(true);
  controls.set_busy(false);
  EXPECT_EQ(controls.status(), "");
  EXPECT_EQ(controls.status_history(), (std::vector<Text>{"一", ""}));
  EXPECT_EQ(seen, controls.status_history());
  EXPECT_FALSE(controls.busy());
  EXPECT_EQ(controls.busy_history(), (std::vector<bool>{true, false}));
}

TEST(HeadlessControls, BookBufferKeepsEveryByteOfALargeBook) {
  test_support::SpyControls controls;
  controls.append_log("x");
  controls.log_clear();
  // 40 MB in 4 KB pieces, with bytes that a text control would mangle.
  std::string piece(4096, '\0');
  for (size_t i = 0; i < piece.size(); ++i) piece[i] = static_cast<char>(1 + i % 255);
  piece[0] = '\r';
  piece[1] = '\n';
  for (int i = 0; i < 10240; ++i) controls.append_log(piece);
  const Text book = controls.log_text();
  ASSERT_EQ(book.size(), piece.size() * 10240);
  EXPECT_EQ(book.compare(book.size() - piece.size(), piece.size(), piece), 0);
  EXPECT_EQ(&controls.book_buffer(), &controls.book_buffer());
}

TEST(HeadlessControls, TheBookBufferWritesItselfAndMakesRoomWhenTold) {
  const test_support::TempFolder folder("headless");
  const Text book_file = folder.text() + "/book.txt";
  test_support::SpyControls controls;
  const std::string piece("\0\r\n\xB5\xDA\xD2\xBB 1", 10);
  controls.append_log(piece);
  bool first_written = false, second_written = false, unwritable = true;
  run_on_worker(controls, [&] {
    controls.expect_log_growth(100);
    first_written = controls.write_log_file(book_file);
  });
  EXPECT_TRUE(first_written);
  EXPECT_EQ(text::read_file(book_file), text::to_bytes(piece));
  // Room was made for a hundred times the book: growing that far moves nothing.
  const char* const held_at = controls.book_buffer().data();
  run_on_worker(controls, [&] {
    for (int i = 1; i < 100; ++i) controls.append_log(piece);
    second_written = controls.write_log_file(book_file);
    unwritable = controls.write_log_file(folder.text() + "/missing/book.txt");
  });
  EXPECT_EQ(controls.book_buffer().data(), held_at);
  EXPECT_TRUE(second_written);
  EXPECT_FALSE(unwritable);
  EXPECT_EQ(text::read_file(book_file), text::to_bytes(controls.book_buffer()));
  EXPECT_EQ(controls.book_buffer().size(), 100 * piece.size());
  EXPECT_EQ(controls.thread_violations(), 0);
}

TEST(HeadlessControls, WorkerCallsRunOnTheInterfaceThreadAndReturnTheirResults) {
  test_support::SpyControls controls;
  controls.set_search_word("三体");
  controls.set_source_choice(1);
  controls.list_append_row();
  std::vector<std::thread::id> status_threads;
  controls.set_status_callback(
      [&](const Text&) { status_threads.push_back(std::this_thread::get_id()); });

  int first = -1, second = -1, selected = -2, choice = -2;
  Text word, cell, book;
  std::thread::id worker_id;
  run_on_worker(controls, [&] {
    worker_id = std::this_thread::get_id();
    first = controls.list_append_row();
    second = controls.list_append_row();
    controls.list_set_cell(second, 1, "名");
    cell = controls.list_get_cell(second, 1);
    controls.list_select_row(second);
    selected = controls.list_selected_row();
    controls.set_status("处理中");
    controls.append_log("ab");
    controls.append_log("cd");
    book = controls.log_text();
    word = controls.search_word();
    choice = controls.source_choice();
    controls.set_busy(true);
  });

  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 2);
  EXPECT_EQ(cell, "名");
  EXPECT_EQ(selected, 2);
  EXPECT_EQ(book, "abcd");
  EXPECT_EQ(word, "三体");
  EXPECT_EQ(choice, 1);
  EXPECT_TRUE(controls.busy());
  ASSERT_EQ(status_threads.size(), 1u);
  EXPECT_EQ(status_threads[0], std::this_thread::get_id());
  EXPECT_NE(status_threads[0], worker_id);
  EXPECT_EQ(controls.dispatcher().requests_served(), 13);
  EXPECT_EQ(controls.thread_violations(), 0);
}

TEST(HeadlessControls, WorkerRequestWaitsUntilTheInterfaceThreadPumps) {
  test_support::SpyControls controls;
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    controls.set_status("等");
    returned = true;
    controls.dispatcher().notify();
  });
  // Nothing pumps yet, so the request cannot have been carried out.
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(returned.load());
  EXPECT_TRUE(controls.status_history().empty());
  EXPECT_TRUE(controls.pump_until([&] { return returned.load(); }, 60s));
  worker.join();
  EXPECT_EQ(controls.status(), "等");
}

// An interface thread that no longer runs requests, as a closed window's.
class GoneInterface : public InterfaceThread {
 public:
  bool is_current() const override { return false; }
  int ran = 0;

 protected:
  bool run_there(const std::function<void()>&) override { return false; }
};

TEST(InterfaceThread, ARequestToAGoneInterfaceThrowsInsteadOfMakingUpAnAnswer) {
  GoneInterface gone;
  EXPECT_THROW(gone.call([&] { return ++gone.ran; }), InterfaceGone);
  EXPECT_THROW(gone.call([&]() -> std::string { return "row"; }), InterfaceGone);
  EXPECT_THROW(gone.call([&] { ++gone.ran; }), InterfaceGone);
  EXPECT_EQ(gone.ran, 0);
}

TEST(HeadlessControls, SpyCountsReadsOffTheInterfaceThread) {
  test_support::SpyControls controls;
  std::thread intruder([&] {
    (void)controls.status_history();
    (void)controls.busy_history();
  });
  intruder.join();
  EXPECT_EQ(controls.thread_violations(), 2);
}

// The command line's controls have no queue: a call from another thread is refused at once
// instead of waiting for a pump that never comes.
TEST(HeadlessControls, WithoutAQueueACallFromAnotherThreadIsRefused) {
  HeadlessControls controls;
  std::thread other([&] { EXPECT_THROW(controls.set_status("x"), InterfaceGone); });
  other.join();
  controls.set_status("y");
  EXPECT_EQ(controls.status(), "y");
}

TEST(HeadlessControls, ExceptionInARequestReachesTheCallerAndTheControlsStayUsable) {
  test_support::SpyControls controls;
  int caught = 0;
  run_on_worker(controls, [&] {
    try {
      controls.dispatcher().call([]() -> int { throw std::runtime_error("x"); });
    } catch (const std::runtime_error&) {
      ++caught;
    }
    try {
      controls.dispatcher().call([] { throw std::logic_error("y"); });
    } catch (const std::logic_error&) {
      ++caught;
    }
    controls.set_status("after");
  });
  EXPECT_EQ(caught, 2);
  EXPECT_EQ(controls.status(), "after");
  controls.append_log("still");
  EXPECT_EQ(controls.book_buffer(), "still");
}

}  // namespace
}  // namespace quillreap::app
