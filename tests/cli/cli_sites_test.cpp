// quillreap-cli with a folder of users' site files: the sites listed, a broken file named and
// left out, a user site searched and downloaded by its id, and its book updated through the
// site its store names though another site has the same host.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/program.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap {
namespace {

using Lines = std::vector<std::string>;

class CliSitesTest : public ::testing::Test {
 protected:
  CliSitesTest() {
    std::ifstream file(QUILLREAP_FIXTURES_DIR "/sites/example.json", std::ios::binary);
    std::stringstream json;
    json << file.rdbuf();
    std::string example = json.str();
    example.replace(example.find("127.0.0.1:18064"), 15, sites_.source3_host());
    write("example.json", example);
    // The same site read with another cleaning, which turns every "。" into "!".
    std::string copy = example;
    copy.replace(copy.find("\"example\""), 9, "\"copy\"");
    // (The file is UTF-8 and this test's texts GBK: what goes in is ASCII.)
    copy.replace(copy.find("\"name\": \""), 9, "\"name\": \"copy of ");
    copy.replace(copy.find("{ \"drop_lines\""), 0, "{ \"replace\": [\"\\u3002\", \"!\"] }, ");
    write("z-copy.json", copy);
    write("broken.json", "{ \"id\": \"broken\" ");
  }
  void write(const std::string& name, const std::string& text) const {
    std::ofstream(folder_.path() / name, std::ios::binary) << text;
  }
  test_support::ProgramRun cli(Lines arguments) const {
    arguments.insert(arguments.end(), {"--sites", folder_.text()});
    if (arguments.front() == "get" || arguments.front() == "update")
      arguments.insert(arguments.end(), {"--out", out_.text()});
    return test_support::run_program(QUILLREAP_CLI, arguments);
  }
  std::string book(const std::string& name) const {
    const auto bytes = text::read_file(text::join_path(out_.text(), name + ".txt"));
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("(no file)");
  }
  std::string path(const std::string& name) const { return text::join_path(folder_.text(), name); }

  sample_sites::SampleSites sites_{sites::SiteConfig::defaults(), {}, {}, {}, {1, 4}};
  test_support::TempFolder folder_{"sites"};
  test_support::TempFolder out_{"books"};
};

TEST_F(CliSitesTest, ListsSearchesDownloadsAndUpdatesUsersSites) {
  const test_support::ProgramRun listed = cli({"sites"});
  EXPECT_EQ(listed.exit_status, 0) << listed.err;
  const std::string address = "\thttp://" + sites_.source3_host() + "/\t";
  EXPECT_NE(listed.out.find("source2\t"), std::string::npos);
  EXPECT_NE(listed.out.find("\tbuilt in\n"), std::string::npos);
  EXPECT_NE(listed.out.find("example\t笔下文学" + address + path("example.json") +
                            "\ncopy\tcopy of 笔下文学" + address + path("z-copy.json") + "\n"),
            std::string::npos)
      << listed.out;
  EXPECT_EQ(listed.err.rfind("quillreap-cli sites: " + path("broken.json") + ":1:", 0), 0u)
      << listed.err;

  const test_support::ProgramRun got = cli({"get", "--source", "copy", "连载"});
  ASSERT_EQ(got.exit_status, 0) << got.err;
  EXPECT_EQ(book("连载1").find("。"), std::string::npos);
  sites_.grow_serials(1);
  const test_support::ProgramRun updated = cli({"update"});
  ASSERT_EQ(updated.exit_status, 0) << updated.err;
  EXPECT_NE(book("连载1").find("第5章"), std::string::npos);
  EXPECT_EQ(book("连载1").find("。"), std::string::npos);

  const test_support::ProgramRun checked = cli({"sites", "check", "copy", "连载"});
  EXPECT_EQ(checked.exit_status, 0) << checked.out;
  EXPECT_NE(checked.out.find("\nlast chapter: "), std::string::npos) << checked.out;

  for (const Lines& line :
       {Lines{"search", "--source", "broken", "连载"}, Lines{"sites", "check", "nosuch"}}) {
    const test_support::ProgramRun refused = cli(line);
    EXPECT_EQ(refused.exit_status, 2) << line[0];
    EXPECT_NE(refused.err.find("no site has that id"), std::string::npos) << refused.err;
  }
}

}  // namespace
}  // namespace quillreap
