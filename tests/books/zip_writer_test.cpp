// The ZIP writer read back by independent readers (Python's zipfile, unzip -t), its
// failures, and the MS-DOS times it stamps.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "books/zip_writer.hpp"
#include "tests/support/temp_folder.hpp"

namespace quillreap::books {
namespace {

std::string file_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A moment of the calendar, in UTC.
std::chrono::sys_seconds at(int year, unsigned month, unsigned day, int hour, int minute,
                            int second) {
  using namespace std::chrono;
  return sys_days{std::chrono::year{year} / month / day} + hours{hour} + minutes{minute} +
         seconds{second};
}

TEST(ZipTime, PacksTheCalendarIntoMsDosFields) {
  const struct {
    int year;
    unsigned month, day;
    int hour, minute, second;
    std::uint16_t date, time;
  } cases[] = {
      {1980, 1, 1, 0, 0, 0, 0x0021, 0x0000},
      {2026, 12, 8, 19, 54, 23, (46 << 9) | (12 << 5) | 8, (19 << 11) | (54 << 5) | 11},
      {1979, 12, 31, 23, 59, 59, 0x0021, 0x0000},  // before the format's epoch
  };
  for (const auto& c : cases) {
    const ZipTime time = zip_time(at(c.year, c.month, c.day, c.hour, c.minute, c.second));
    EXPECT_EQ(time.date, c.date) << c.year;
    EXPECT_EQ(time.time, c.time) << c.year;
  }
}

TEST(ZipWriter, FailsWhereTheFileCannotBeWritten) {
  test_support::TempFolder directory;
  ZipWriter zip(directory.text() + "/missing/book.zip", {});
  EXPECT_FALSE(zip.ok());
  EXPECT_FALSE(zip.add("a", "b"));
  EXPECT_FALSE(zip.finish());
}

TEST(ZipWriter, StartsWithTheFirstEntryStoredAtOffsetZero) {
  // What EPUB readers look for without reading the directory: "mimetype" at byte 30 and
  // its content, uncompressed, right behind it.
  test_support::TempFolder directory;
  const std::string path = directory.text() + "/book.zip";
  ZipWriter zip(path, zip_time(at(2020, 2, 29, 12, 0, 0)));
  ASSERT_TRUE(zip.add("mimetype", "application/epub+zip", false));
  ASSERT_TRUE(zip.add("x.txt", std::string(1000, 'x')));
  ASSERT_TRUE(zip.finish());
  const std::string bytes = file_bytes(path);
  ASSERT_GT(bytes.size(), 58u);
  EXPECT_EQ(bytes.substr(0, 4), "PK\x03\x04");
  EXPECT_EQ(bytes.substr(8, 2), std::string("\0\0", 2));   // stored
  EXPECT_EQ(bytes.substr(28, 2), std::string("\0\0", 2));  // no extra field
  EXPECT_EQ(bytes.substr(30, 28), "mimetypeapplication/epub+zip");
  EXPECT_LT(bytes.size(), 1000u);  // the second entry went deflated
}

#ifndef _WIN32
// Python and unzip run on the build host only; the Windows build's bytes are held equal
// to the Linux build's by the EPUB golden-file test.
TEST(ZipWriter, IsReadBackWholeByPythonAndUnzip) {
  test_support::TempFolder directory;
  const std::string path = directory.text() + "/book.zip";
  std::mt19937 random(7);
  std::string noise(3 << 20, '\0');  // incompressible and over the writer's flush block
  for (char& c : noise) c = static_cast<char>(random());
  const std::vector<std::pair<std::string, std::string>> entries = {
      {"mimetype", "application/epub+zip"},
      {"META-INF/container.xml", "<container/>\n"},
      {"EPUB/empty.xhtml", ""},
      {"EPUB/noise.bin", noise},
      {"EPUB/text.xhtml", std::string(200000, 'a') + "\xE4\xB8\xAD"},
  };
  {
    ZipWriter zip(path, zip_time(at(2024, 6, 1, 8, 30, 10)));
    for (size_t i = 0; i < entries.size(); ++i)
      ASSERT_TRUE(zip.add(entries[i].first, entries[i].second, i > 0)) << entries[i].first;
    ASSERT_TRUE(zip.finish());
  }
  const std::filesystem::path out = directory.path() / "out";
  const std::string command =
      "python3 " QUILLREAP_TESTS_DIR "/books/read_zip.py '" + path + "' '" + out.string() + "'";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string listing;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe)) listing += buffer;
  ASSERT_EQ(pclose(pipe), 0) << listing;
  std::string expected;
  for (size_t i = 0; i < entries.size(); ++i)
    expected += entries[i].first + (i == 0 ? "\t0\t0\n" : "\t8\t0\n");
  EXPECT_EQ(listing, expected);
  for (const auto& [name, content] : entries) EXPECT_EQ(file_bytes(out / name), content) << name;
  EXPECT_EQ(std::system(("unzip -tqq '" + path + "'").c_str()), 0);
}
#endif

}  // namespace
}  // namespace quillreap::books
