// The window as an installed copy runs it: its own folder takes no files, so books go to
// the user's download folder (or home), and the status bar names that folder. Its own
// process: main sets up a temporary home with a download folder before GLib reads them.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "app/gtk/book_folder.hpp"
#include "app/gtk/main_window.hpp"
#include "tests/gtk/gtk_test_support.hpp"
#include "tests/support/golden_book.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/codepage.hpp"
#include "text/files.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace fs = std::filesystem;

namespace quillreap::app::gtk {
namespace {

// The temporary home main makes, and its download folder (a Chinese name, as on a
// Chinese desktop, so the GBK form of the path is exercised).
fs::path& home() {
  static fs::path path;
  return path;
}
fs::path downloads() {
  return home() / fs::path(u8"下载");
}

std::string utf8_of(const fs::path& path) {
  return path.string();
}
Text gbk_of(const fs::path& path) {
  return text::utf8_to_ansi(path.string());
}

// Sets or clears the immutable flag: the one way to keep root from writing into a folder.
void set_immutable(const fs::path& directory, bool on) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  int flags = 0;
  if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
  }
  ::close(fd);
}

// A folder no file can be created in, as /usr/bin is to a user: read-only by its mode,
// and immutable as well when the tests run as root.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const fs::path& path) : path_(path) {
    fs::create_directories(path_);
    fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                               fs::perms::group_exec | fs::perms::others_read |
                               fs::perms::others_exec);
    if (folder_takes_files(path_.string())) set_immutable(path_, true);
  }
  ~ReadOnlyFolder() {
    set_immutable(path_, false);
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

TEST(BookFolderChoice, TakesTheFirstFolderThatTakesFiles) {
  const fs::path root = home() / "choice";
  fs::create_directories(root / "program");
  fs::create_directories(root / "download");
  fs::create_directories(root / "home");
  const ReadOnlyFolder read_only(root / "read-only");
  ASSERT_FALSE(folder_takes_files(read_only.path().string())) << "the folder still takes files";
  const Text writable_program = gbk_of(root / "program");
  const Text locked_program = gbk_of(read_only.path());
  const std::string download = utf8_of(root / "download");
  const std::string home_folder = utf8_of(root / "home");
  const std::string missing = utf8_of(root / "no-such-folder");
  // A name with no GBK form: the book's GBK path could not name it.
  const fs::path emoji = root / fs::path(u8"书\U0001F4DA");
  fs::create_directories(emoji);
  const std::string emoji_name = utf8_of(emoji);

  struct Case {
    const char* what;
    Text program;
    const char* download;
    const char* home;
    Text expected;
    bool beside_program;
  };
  const Case cases[] = {
      {"writable program folder", writable_program, download.c_str(), home_folder.c_str(),
       writable_program, true},
      {"installed", locked_program, download.c_str(), home_folder.c_str(),
       gbk_of(root / "download"), false},
      {"download folder missing", locked_program, missing.c_str(), home_folder.c_str(),
       gbk_of(root / "home"), false},
      {"no download folder", locked_program, nullptr, home_folder.c_str(), gbk_of(root / "home"),
       false},
      {"download folder without a GBK name", locked_program, emoji_name.c_str(),
       home_folder.c_str(), gbk_of(root / "home"), false},
      {"nowhere to write", locked_program, missing.c_str(), nullptr, locked_program, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const BookFolder folder = choose_book_folder(c.program, c.download, c.home);
    EXPECT_EQ(folder.directory, c.expected);
    EXPECT_EQ(folder.beside_program, c.beside_program);
  }
  // The probe leaves nothing behind in the folders it tried.
  EXPECT_TRUE(fs::is_empty(root / "program"));
  EXPECT_TRUE(fs::is_empty(root / "download"));
}

TEST(BookFolderChoice, NotesTheFolderAfterACompletionLineOnly) {
  const BookFolder away{"/home/u/下载", false};
  const BookFolder beside{"/opt/quillreap", true};
  const Text done = "书籍:西游记的所有章节已生成TXT文本在程序目录下";
  const Text note = "；程序目录不可写，已保存到 /home/u/下载";
  EXPECT_EQ(with_book_folder_note(done, away), done + note);
  const Text gaps = "书籍:书的所有章节已生成TXT文本在程序目录下(有3章获取失败)";
  EXPECT_EQ(with_book_folder_note(gaps, away), gaps + note);
  EXPECT_EQ(with_book_folder_note(done, beside), done);
  for (const Text& other : {Text("搜索完成!"), Text("已查找到西游记的所有章节,请等待程序处理"),
                            Text("该书籍有错误!请更换书籍"), Text()})
    EXPECT_EQ(with_book_folder_note(other, away), other);
  // The words' bytes one byte off their characters are no completion line: "丛" is B4 D4,
  // and the line's tail follows it, closed by C2 A1.
  const Text straddling = "\xB4\xD4\xDA\xB3\xCC\xD0\xF2\xC4\xBF\xC2\xBC\xCF\xC2\xA1";
  EXPECT_EQ(with_book_folder_note(straddling, away), straddling);
}

class InstalledWindowTest : public GtkTest {};

TEST_F(InstalledWindowTest, SavesTheBookInTheDownloadFolderAndSaysWhere) {
  const ReadOnlyFolder program(home() / "usr-bin");
  ASSERT_FALSE(folder_takes_files(program.path().string())) << "the folder still takes files";
  const BookFolder folder = choose_book_folder(gbk_of(program.path()));
  ASSERT_EQ(folder.directory, gbk_of(downloads()));
  ASSERT_FALSE(folder.beside_program);

  sample_sites::SampleSites sites;
  MainWindow window(sites.config(), folder);
  window.show();
  const WindowWidgets& widgets = window.widgets();
  gtk_combo_box_set_active(widgets.source_combo, 0);
  gtk_entry_set_text(widgets.search_edit, u8(u8"西游记").c_str());
  gtk_button_clicked(GTK_BUTTON(widgets.search_button));
  ASSERT_EQ(window.controls().list_get_cell(0, 1), "西游记");
  window.controls().list_select_row(0);
  gtk_button_clicked(GTK_BUTTON(widgets.generate_button));
  ASSERT_TRUE(pump_until([&] {
    return window.shell().workers_running() == 0 && gtk_widget_get_sensitive(widgets.search_button);
  }));

  const std::string golden = test_support::golden_book("source1_xiyouji");
  ASSERT_TRUE(fs::exists(downloads() / fs::path(u8"西游记.txt")))
      << "no book in the download folder";
  const std::string book = test_support::file_bytes(downloads() / fs::path(u8"西游记.txt"));
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(book, golden);
  EXPECT_TRUE(fs::is_empty(program.path()));

  const std::string expected = u8(u8"书籍:西游记的所有章节已生成TXT文本在程序目录下") +
                               u8(u8"；程序目录不可写，已保存到 ") + utf8_of(downloads());
  EXPECT_EQ(gtk_label_get_text(widgets.status_parts[1]), expected);
  gchar* tooltip = gtk_widget_get_tooltip_text(GTK_WIDGET(widgets.status_parts[1]));
  EXPECT_EQ(std::string(tooltip ? tooltip : ""), expected);
  g_free(tooltip);
}

}  // namespace
}  // namespace quillreap::app::gtk

int main(int argc, char** argv) {
  namespace gtk = quillreap::app::gtk;
  // A home of our own, with the download folder named in its user-dirs file, set before
  // GLib first reads either; the real home is never touched.
  const quillreap::test_support::TempFolder home("home");
  gtk::home() = home.path();
  fs::create_directories(gtk::home() / ".config");
  fs::create_directories(gtk::downloads());
  std::ofstream(gtk::home() / ".config" / "user-dirs.dirs")
      << gtk::u8(u8"XDG_DOWNLOAD_DIR=\"$HOME/下载\"\n");
  ::setenv("HOME", home.path().c_str(), 1);
  ::unsetenv("XDG_CONFIG_HOME");

  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
