// quillreap-cli shelf and update, step by step on one book directory holding a serial on
// source 1 and a sample site's book on source 2: what each step prints, its exit status,
// and how many chapter pages it asked each site for.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>

#include "download/chapter_store.hpp"
#include "tests/support/program.hpp"
#include "tests/support/sites/changing_book_site.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap {
namespace {

using sites::ChangingBookSite;
using Lines = std::vector<std::string>;

class CliShelfTest : public ::testing::Test {
 protected:
  Lines with_sites(Lines arguments) const {
    arguments.insert(arguments.end(), {"--out", directory_.text()});
    // The shelf is read from the folder alone; the other commands ask the sites.
    if (arguments.front() != "shelf")
      arguments.insert(arguments.end(), {"--source1-host", first_.host(), "--source2-host",
                                         second_host_, "--source2-label", second_host_ + "/"});
    return arguments;
  }
  test_support::ProgramRun cli(Lines arguments) const {
    return test_support::run_program(QUILLREAP_CLI, with_sites(std::move(arguments)));
  }
  int second_requests() const {
    return second_ ? static_cast<int>(second_->chapter_request_times().size()) : -1;
  }
  std::string path(const std::string& name) const {
    return text::join_path(directory_.text(), name);
  }
  std::string book(const std::string& name) const {
    const auto bytes = text::read_file(path(name + ".txt"));
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("(no file)");
  }
  // The site's book as a download named name writes it.
  static std::string expected(const ChangingBookSite& site, const std::string& name) {
    return name + site.expected_book().substr(std::string(ChangingBookSite::kBookName).size());
  }

  test_support::TempFolder directory_{"shelf"};
  ChangingBookSite first_{3};                                       // 乙
  std::optional<sample_sites::SampleSites> second_{std::in_place};  // 甲, taken down on the way
  const std::string second_host_ = second_->source2_host();
  const std::string second_book_ = "http://" + second_host_ + "/Book/1001.aspx";
};

TEST_F(CliShelfTest, ListsChecksAndUpdatesOnlyWhatIsNew) {
  std::unique_ptr<test_support::StartedProgram> killed;
  const struct Step {
    const char* what;
    std::function<void()> before;
    Lines arguments;
    int exit_status;
    std::string out;  // standard output, a file name standing for its path; "*" for any
    int first_requests, second_requests;  // chapter pages asked for; -1: not counted
  } steps[] = {
      {"an empty shelf", [] {}, {"shelf"}, 1, "", 0, 0},
      {"two downloads put their books on the shelf",
       [&] {
         EXPECT_EQ(cli({"download", first_.book_address(), "乙"}).exit_status, 0);
         EXPECT_EQ(cli({"download", second_book_, "甲"}).exit_status, 0);
       },
       {"shelf"},
       0,
       "*",
       0,
       0},
      {"nothing new: check", [] {}, {"update", "--check"}, 0, "甲\t0\n乙\t0\n", 0, 0},
      {"nothing new: no file is touched", [] {}, {"update"}, 0, "", 0, 0},
      {"new chapters: check fetches no chapter",
       [&] { first_.add_chapters(2); },
       {"update", "--check"},
       0,
       "甲\t0\n乙\t2\n",
       0,
       0},
      {"update fetches only the new chapters", [] {}, {"update"}, 0, "乙.txt\n", 2, 0},
      {"a deleted book is written again from the store, beside an update",
       [&] {
         text::remove_file(path("甲.txt"));
         first_.add_chapters(1);
       },
       {"update"},
       0,
       "甲.txt\n乙.txt\n",
       1,
       0},
      {"only the books named", [&] { first_.add_chapters(1); }, {"update", "甲"}, 0, "", 0, 0},
      {"a name not on the shelf stops before any request", [] {}, {"update", "丙"}, 1, "", 0, 0},
      {"killed during an update, the next takes only what is missing",
       [&] {
         first_.add_chapters(4);  // 8 to 11 new: 8 and 9 come, 10 stalls
         first_.stall_from(10);
         killed = std::make_unique<test_support::StartedProgram>(QUILLREAP_CLI,
                                                                 with_sites({"update", "乙"}));
         for (int i = 0; i < 3000 && first_.requests_for(10) == 0; ++i)
           std::this_thread::sleep_for(std::chrono::milliseconds(20));
         killed->kill();
         killed->wait();
         first_.stall_from(0);
         first_.reset_counts();
       },
       {"update", "乙"},
       0,
       "乙.txt\n",
       2,
       0},
      {"a site down does not stop the others",
       [&] {
         second_.reset();
         first_.add_chapters(1);
       },
       {"update"},
       1,
       "乙.txt\n",
       1,
       -1},
      {"chapters the store holds but the book files lack are new",
       [&] {
         // As an update killed after its check fetched them: in the store, not in the book.
         first_.add_chapters(2);
         const Lines part = {"download", first_.book_address(), "乙", "--chapters", "13-14"};
         EXPECT_EQ(cli(part).exit_status, 0);
       },
       {"update", "--check", "乙"},
       0,
       "乙\t2\n",
       0,
       -1},
      {"and are written from the store without a request",
       [] {},
       {"update", "乙"},
       0,
       "乙.txt\n",
       0,
       -1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.before();
    first_.reset_counts();
    const int second_before = second_requests();
    const test_support::ProgramRun run = cli(step.arguments);
    EXPECT_EQ(run.exit_status, step.exit_status) << run.err;
    std::string out = step.out;
    for (std::size_t at = 0; (at = out.find(".txt", at)) != std::string::npos; at += 4) {
      const std::size_t line =
          out.rfind('\n', at) == std::string::npos ? 0 : out.rfind('\n', at) + 1;
      const std::string folder = text::join_path(directory_.text(), "");
      out.insert(line, folder);
      at += folder.size();
    }
    if (step.out != "*") {
      EXPECT_EQ(run.out, out);
    }
    // Each book written holds its own chapters, whatever was written before it in the run.
    if (out.find("乙.txt") != std::string::npos) {
      EXPECT_EQ(book("乙"), expected(first_, "乙"));
    }
    if (out.find("甲.txt") != std::string::npos) {
      EXPECT_EQ(book("甲").rfind("甲\r\n\r\n", 0), 0u);
    }
    EXPECT_EQ(first_.chapter_requests(), step.first_requests) << run.err;
    if (step.second_requests >= 0) {
      EXPECT_EQ(second_requests() - second_before, step.second_requests);
    }
  }
  const test_support::ProgramRun shelf = cli({"shelf"});
  EXPECT_NE(shelf.out.find(first_.book_address() + "\t乙\t"), std::string::npos) << shelf.out;
  EXPECT_NE(shelf.out.find("\t14\t"), std::string::npos) << shelf.out;  // 乙's chapters
}

// A store the shelf cannot read is named with why and left as it is; shelf lists the rest and
// update updates the rest and exits 1. Looking (shelf, update --check) leaves every store,
// a torn one too, byte for byte and with its time as it was.
TEST_F(CliShelfTest, AStoreItCannotReadIsNamedAndLookingWritesNothing) {
  namespace fs = std::filesystem;
  ASSERT_EQ(cli({"download", first_.book_address(), "乙"}).exit_status, 0);
  ASSERT_EQ(cli({"download", second_book_, "甲"}).exit_status, 0);
  const fs::path folder = directory_.path() / ".quillreap";
  const fs::path foreign = folder / "0123456789abcdef.chapters";
  {
    std::ofstream(foreign, std::ios::binary) << "not a store";
    // 乙's store, torn by a download killed while it appended a chapter.
    std::ofstream(fs::path(download::chapter_store_path(directory_.text(), first_.book_address())),
                  std::ios::binary | std::ios::app)
        << std::string("\x30\x00\x00\x00\x01", 5);
  }
  first_.add_chapters(1);
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    fs::last_write_time(entry.path(), fs::last_write_time(entry.path()) - std::chrono::hours(48));
  const auto stores = [&] {
    std::map<fs::path, std::pair<std::string, fs::file_time_type>> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
      std::ifstream file(entry.path(), std::ios::binary);
      files[entry.path()] = {std::string(std::istreambuf_iterator<char>(file), {}),
                             fs::last_write_time(entry.path())};
    }
    return files;
  };
  const auto before = stores();
  // Each command names it in a line of its own words.
  const std::string named = text::join_path(text::join_path(directory_.text(), ".quillreap"),
                                            "0123456789abcdef.chapters") +
                            ": left out of the shelf, and "
                            "left as it is: it is not a chapter store (another program's file?)\n";

  const test_support::ProgramRun shelf = cli({"shelf"});
  EXPECT_EQ(shelf.exit_status, 0) << shelf.err;
  EXPECT_EQ(std::count(shelf.out.begin(), shelf.out.end(), '\n'), 2) << shelf.out;
  EXPECT_EQ(shelf.err, "quillreap-cli shelf: " + named);
  const test_support::ProgramRun check = cli({"update", "--check"});
  EXPECT_EQ(check.exit_status, 1) << check.err;
  EXPECT_EQ(check.out, "甲\t0\n乙\t1\n");
  EXPECT_NE(check.err.find("quillreap-cli update: " + named), std::string::npos) << check.err;
  EXPECT_TRUE(stores() == before);

  const test_support::ProgramRun update = cli({"update"});
  EXPECT_EQ(update.exit_status, 1) << update.err;
  EXPECT_EQ(update.out, path("乙.txt") + "\n");
  EXPECT_NE(update.err.find("quillreap-cli update: " + named), std::string::npos) << update.err;
  EXPECT_EQ(book("乙"), expected(first_, "乙"));
  EXPECT_EQ(stores().at(foreign), before.at(foreign));
}

// Books of one name stay apart: the later book's files take its site's name as well (and a
// number after that), every later download and update keeps the names, and shelf --remove
// takes a name two books share for a usage error, removing nothing.
TEST_F(CliShelfTest, BooksOfOneNameStayApart) {
  const std::string other_book = "http://" + second_host_ + "/Book/1003.aspx";
  const auto stores = [&] {
    return std::count_if(std::filesystem::directory_iterator(directory_.path() / ".quillreap"), {},
                         [](const auto& entry) { return entry.path().extension() == ".chapters"; });
  };
  const struct Step {
    const char* what;
    Lines arguments;
    int exit_status;
    std::string out;  // standard output; "*" for any
    std::string err;  // a part of standard error; "" for no check
    long stores;      // chapter stores left
  } steps[] = {
      {"the first book takes the name",
       {"download", first_.book_address(), "同名"},
       0,
       path("同名.txt") + "\n",
       "",
       1},
      {"a second book of the name takes its site's too",
       {"download", second_book_, "同名"},
       0,
       path("同名(源站②).txt") + "\n",
       "",
       2},
      {"a third takes a number after it",
       {"download", other_book, "同名"},
       0,
       path("同名(源站②)2.txt") + "\n",
       "",
       3},
      {"a book downloaded again keeps its name",
       {"download", first_.book_address(), "同名"},
       0,
       path("同名.txt") + "\n",
       "",
       3},
      {"and so does the later one",
       {"download", second_book_, "同名"},
       0,
       path("同名(源站②).txt") + "\n",
       "",
       3},
      {"an update writes each under its own", {"update", second_book_, "同名"}, 0, "*", "", 3},
      {"a name the books share removes nothing",
       {"shelf", "--remove", "同名"},
       2,
       "",
       "同名 is the name of 3 books on the shelf (",
       3},
      {"an address removes its book", {"shelf", "--remove", second_book_}, 0, "", "", 2},
      {"an address not on the shelf",
       {"shelf", "--remove", second_book_},
       1,
       "",
       second_book_ + " is not on the shelf",
       2},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    const test_support::ProgramRun run = cli(step.arguments);
    EXPECT_EQ(run.exit_status, step.exit_status) << run.err;
    if (step.out != "*") {
      EXPECT_EQ(run.out, step.out);
    }
    EXPECT_NE(run.err.find(step.err), std::string::npos) << step.err << "\n" << run.err;
    if (step.exit_status == 2) {
      // Every book of the name, by its address.
      for (const std::string& address : {first_.book_address(), second_book_, other_book})
        EXPECT_NE(run.err.find(address), std::string::npos) << run.err;
    }
    EXPECT_EQ(stores(), step.stores);
    // Each file holds its own book, whoever wrote last.
    EXPECT_EQ(book("同名"), expected(first_, "同名"));
    for (const char* other : {"同名(源站②)", "同名(源站②)2"}) {
      if (book(other) != "(no file)") {
        EXPECT_EQ(book(other).rfind("同名\r\n\r\n", 0), 0u) << other;
        EXPECT_NE(book(other), expected(first_, "同名")) << other;
      }
    }
    if (book("同名(源站②)2") != "(no file)") {
      EXPECT_NE(book("同名(源站②)"), book("同名(源站②)2"));
    }
  }
  const test_support::ProgramRun shelf = cli({"shelf"});
  EXPECT_NE(shelf.out.find(first_.book_address() + "\t同名\t"), std::string::npos) << shelf.out;
  EXPECT_NE(shelf.out.find("\t同名(源站②)2\n"), std::string::npos) << shelf.out;
  EXPECT_EQ(shelf.out.find("\t同名(源站②)\n"), std::string::npos) << shelf.out;
}

}  // namespace
}  // namespace quillreap
