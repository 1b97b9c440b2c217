// Users' site files from a folder: a broken file is named and left out while the rest are
// read, a file with a built-in id replaces that site, and an address or a shelf record finds
// its site.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "sites/builtin_sites.hpp"
#include "sites/site_choice.hpp"
#include "sites/site_folder.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"

namespace quillreap::sites {
namespace {

std::string example_file(const std::string& id, const std::string& host) {
  std::ifstream file(QUILLREAP_FIXTURES_DIR "/sites/example.json", std::ios::binary);
  std::stringstream json;
  json << file.rdbuf();
  std::string text = json.str();
  text.replace(text.find("\"example\""), 9, "\"" + id + "\"");
  text.replace(text.find("127.0.0.1:18064"), 15, host);
  return text;
}

class SiteFolderTest : public ::testing::Test {
 protected:
  void write(const std::string& name, const std::string& text) const {
    std::ofstream(folder_.path() / name, std::ios::binary) << text;
  }
  Text path(const std::string& name) const { return text::join_path(folder_.text(), name); }

  test_support::TempFolder folder_{"sites"};
};

TEST_F(SiteFolderTest, BrokenFilesAreNamedAndTheRestRead) {
  write("a-broken.json", "{ \"id\": \"x\",\n  \"name\": }");
  write("b-user.json", example_file("user", "u.test:81"));
  write("c-same-id.json", example_file("user", "v.test"));
  write("d-unknown.json", example_file("other", "o.test") + "x");
  write("notes.txt", "not a site file");
  SiteConfig config = SiteConfig::defaults();
  const std::vector<Text> reasons = take_site_folder(config, folder_.text());
  ASSERT_EQ(reasons.size(), 3u);
  EXPECT_EQ(reasons[0].rfind(path("a-broken.json") + ":2:", 0), 0u) << reasons[0];
  EXPECT_EQ(reasons[1],
            path("c-same-id.json") + ": \"id\": user is already the id of " + path("b-user.json"));
  EXPECT_EQ(reasons[2].rfind(path("d-unknown.json") + ":", 0), 0u) << reasons[2];
  EXPECT_EQ(
      site_folder_line(reasons).rfind("站点文件有误: " + reasons[0] + " (and 2 more files)", 0),
      0u);
  EXPECT_EQ(site_choices(config), (std::vector<Text>{"源站①", "源站②", "笔下文学"}));
  EXPECT_EQ(pages_for_choice(2, config).site().host, "u.test:81");
  EXPECT_EQ(choice_of_site("user", config), 2);
  EXPECT_EQ(choice_of_site("other", config), std::nullopt);
  // A folder that is not there holds no sites and no mistakes.
  EXPECT_TRUE(take_site_folder(config, path("none")).empty());
}

TEST_F(SiteFolderTest, EachAddressAndRecordFindsItsSite) {
  write("source2.json", example_file("source2", "mended.test"));
  write("user.json", example_file("user", "u.test"));
  write("user2.json", example_file("user2", "u.test"));
  SiteConfig config = SiteConfig::defaults();
  ASSERT_TRUE(take_site_folder(config, folder_.text()).empty());
  // The replaced built-in site keeps its place and takes the file's host as its label.
  EXPECT_EQ(site_choices(config).size(), 4u);
  EXPECT_EQ(pages_for_choice(1, config).site().file, path("source2.json"));
  const struct Case {
    Text address, recorded, site;
  } cases[] = {
      {"http://mended.test/book/1/", "", "source2"}, {"http://u.test/book/1/", "", "user"},
      {"http://u.test/book/1/", "user2", "user2"},   {"http://u.test/book/1/", "gone", "user"},
      {"http://elsewhere.test/1_1/", "", "source1"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(pages_for_book(c.address, c.recorded, config).site().id, c.site) << c.address;
}

}  // namespace
}  // namespace quillreap::sites
