// quillreap-cli's pace against the sample sites: --pause-ms shows between the chapter
// requests of each connection at the server's clock, and a site that allows one request at
// a time brings the download down to one connection, said once for each lowering, with
// every chapter still fetched.
#include <gtest/gtest.h>

#include <filesystem>

#include "download/status_texts.hpp"
#include "tests/support/program.hpp"
#include "tests/support/temp_folder.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap {
namespace {

using test_support::ProgramRun;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;
using std::chrono::milliseconds;

constexpr sample_sites::BigBook kBook{8, 300};

class CliPaceTest : public ::testing::Test {
 protected:
  // Source 1's 测试巨著 from `sites`, with no chapter store, so every chapter is asked for.
  // Exit status 0 says every chapter came.
  ProgramRun download(const sample_sites::SampleSites& sites, const Lines& options) {
    const std::string host = sites.config().source1_host;
    Lines line{"download", "http://" + host + "/9_9/", "测试巨著",  "--source1-host", host,
               "--out",    directory_.text(),          "--no-store"};
    line.insert(line.end(), options.begin(), options.end());
    return test_support::run_program(QUILLREAP_CLI, line);
  }

  test_support::TempFolder directory_{"pace"};
};

TEST_F(CliPaceTest, PauseShowsBetweenTheRequestsOfEachConnectionAtTheServer) {
  struct Case {
    int connections;
    int pause_ms;
  };
  for (const Case each : {Case{1, 150}, Case{2, 250}}) {
    SCOPED_TRACE(each.connections);
    const sample_sites::SampleSites sites(sites::SiteConfig::defaults(), {}, kBook);
    const ProgramRun run = download(sites, {"--connections", std::to_string(each.connections),
                                            "--pause-ms", std::to_string(each.pause_ms)});
    EXPECT_EQ(run.exit_status, 0) << run.err;
    // Of any connections + 1 requests in a row, two came over one connection, one after the
    // other, so at least one pause lies between the first and the last.
    const auto times = sites.chapter_request_times();
    ASSERT_EQ(times.size(), static_cast<std::size_t>(kBook.chapters));
    const auto n = static_cast<std::size_t>(each.connections);
    for (std::size_t i = 0; i + n < times.size(); ++i)
      EXPECT_GE(times[i + n] - times[i], milliseconds(each.pause_ms)) << i;
  }
}

TEST_F(CliPaceTest, SiteThatAnswersOneRequestAtATimeEndsWithOneConnectionAndTheBookWhole) {
  sample_sites::Behaviour one_at_a_time;
  one_at_a_time.delay = milliseconds(200);
  one_at_a_time.one_at_a_time = true;
  const sample_sites::SampleSites sites(sites::SiteConfig::defaults(), {}, kBook, one_at_a_time);
  const ProgramRun run = download(sites, {"--connections", "4"});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_GE(sites.too_many_requests(), 2);
  // Each lowering is said once, the connections falling every time, down to one.
  const std::string said = download::slowed_down_line(1).substr(0, 13);  // 站点要求放慢,
  std::vector<std::string> lowerings;
  for (std::size_t at = 0; (at = run.err.find(said, at)) != std::string::npos; ++at)
    lowerings.push_back(run.err.substr(at, run.err.find('\n', at) - at));
  ASSERT_FALSE(lowerings.empty()) << run.err;
  EXPECT_EQ(lowerings.back(), download::slowed_down_line(1));
  EXPECT_LE(lowerings.size(), 2u) << run.err;  // 4 -> 2 -> 1 at the most
  if (lowerings.size() == 2) {
    EXPECT_EQ(lowerings[0], download::slowed_down_line(2));
  }
}

}  // namespace
}  // namespace quillreap
