// The window driven as a user drives it, against the sample sites started in-process: a
// search by clicking 按钮1, a download by choosing a row and clicking 按钮2, the About box,
// and closing the window while a download runs.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "app/gtk/main_window.hpp"
#include "download/chapter_store.hpp"
#include "tests/gtk/gtk_test_support.hpp"
#include "tests/support/app/failing_controls.hpp"
#include "tests/support/golden_book.hpp"
#include "tests/support/sites/example_site.hpp"
#include "text/files.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap::app::gtk {
namespace {

class WindowSessionTest : public WindowTest {
 protected:
  sites::SiteConfig config() const override { return sites_.config(); }

  void search(int source, const char8_t* word) {
    gtk_combo_box_set_active(widgets().source_combo, source);
    gtk_entry_set_text(widgets().search_edit, u8(word).c_str());
    gtk_button_clicked(GTK_BUTTON(widgets().search_button));  // runs the whole search
  }

  // The row whose 小说名 cell shows name, or -1.
  int row_named(const char8_t* name) {
    const int rows = gtk_tree_model_iter_n_children(GTK_TREE_MODEL(widgets().rows), nullptr);
    for (int row = 0; row < rows; ++row)
      if (shown_cell(row, 1) == u8(name)) return row;
    return -1;
  }

  // What the list shows in a cell, as UTF-8.
  std::string shown_cell(int row, int column) const {
    GtkTreeIter iter;
    if (!gtk_tree_model_iter_nth_child(GTK_TREE_MODEL(widgets().rows), &iter, nullptr, row))
      return {};
    gchar* value = nullptr;
    gtk_tree_model_get(GTK_TREE_MODEL(widgets().rows), &iter, column, &value, -1);
    std::string shown = value ? value : "";
    g_free(value);
    return shown;
  }

  void choose_row(int row) {
    GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
    gtk_tree_selection_select_path(gtk_tree_view_get_selection(widgets().result_list), path);
    gtk_tree_path_free(path);
  }

  bool controls_enabled() const {
    return gtk_widget_get_sensitive(widgets().search_button) &&
           gtk_widget_get_sensitive(widgets().generate_button) &&
           gtk_widget_get_sensitive(GTK_WIDGET(widgets().source_combo));
  }

  std::optional<std::string> book(const std::string& name_gbk) {
    std::optional<text::Bytes> bytes = text::read_file(books_.text() + "/" + name_gbk + ".txt");
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
  }

  std::string status() const { return gtk_label_get_text(widgets().status_parts[1]); }

  sample_sites::SampleSites sites_;
};

TEST_F(WindowSessionTest, SearchesBothSourcesIntoTheList) {
  EXPECT_FALSE(gtk_widget_get_sensitive(widgets().generate_button));
  search(0, u8"西游");
  EXPECT_EQ(status(), u8(u8"搜索完成!"));
  EXPECT_TRUE(controls_enabled());  // 按钮2 too, now that a search has run
  const int xiyouji = row_named(u8"西游记");
  ASSERT_GE(xiyouji, 0);
  Controls& controls = window_->controls();
  EXPECT_EQ(controls.list_get_cell(xiyouji, 1), "西游记");
  EXPECT_EQ(controls.list_get_cell(xiyouji, 3), "吴承恩");
  EXPECT_NE(controls.list_get_cell(xiyouji, 0).find(sites_.source1_host()), std::string::npos);
  EXPECT_EQ(controls.list_selected_row(), 0);  // the search selects its first hit

  search(1, u8"三国");
  EXPECT_EQ(status(), u8(u8"搜索完成!"));
  const int sanguo = row_named(u8"三国演义");
  ASSERT_GE(sanguo, 0);
  EXPECT_EQ(row_named(u8"西游记"), -1);  // the list was emptied first
  EXPECT_NE(controls.list_get_cell(sanguo, 0).find(sites_.source2_host()), std::string::npos);

  // A word no book holds still ends the search and leaves the list empty.
  search(0, u8"不存在的书");
  EXPECT_EQ(gtk_tree_model_iter_n_children(GTK_TREE_MODEL(widgets().rows), nullptr), 0);
  EXPECT_TRUE(controls_enabled());
}

// A user's site file, read at start, stands in the source box after the built-in two.
class WindowUserSiteTest : public WindowSessionTest {
 protected:
  sites::SiteConfig config() const override {
    sites::SiteConfig config = sites_.config();
    sites::use_site_files(config, {sites::example_site(sites_.source3_host()).site()});
    return config;
  }
};

TEST_F(WindowUserSiteTest, TheSourceBoxListsTheUsersSiteAndSearchesIt) {
  EXPECT_EQ(
      gtk_tree_model_iter_n_children(gtk_combo_box_get_model(widgets().source_combo), nullptr), 3);
  search(2, u8"西游");
  EXPECT_EQ(status(), u8(u8"搜索完成!"));
  EXPECT_EQ(window_->controls().list_get_cell(0, 0).find("http://" + sites_.source3_host()), 0u);
}

TEST_F(WindowSessionTest, DownloadsTheChosenRowToItsGoldenBytes) {
  // Each row goes to the source its address names, whatever the drop-down shows then.
  struct Case {
    int source;
    const char8_t* word;
    const char8_t* name_utf8;
    std::string name;
    std::string golden;
  };
  const Case cases[] = {
      {0, u8"西游", u8"西游记", "西游记", "source1_xiyouji"},
      {1, u8"三国", u8"三国演义", "三国演义", "source2_sanguoyanyi"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.golden);
    search(c.source, c.word);
    const int row = row_named(c.name_utf8);
    ASSERT_GE(row, 0);
    choose_row(row);
    gtk_combo_box_set_active(widgets().source_combo, 1 - c.source);
    gtk_button_clicked(GTK_BUTTON(widgets().generate_button));
    // The download runs on its worker; the loop serves its requests meanwhile, and the
    // row's 状态 cell counts its chapters.
    bool counted = false;
    ASSERT_TRUE(pump_until([&] {
      counted = counted || shown_cell(row, 4).starts_with(u8(u8"下载中 "));
      return window_->shell().workers_running() == 0 && controls_enabled();
    }));
    EXPECT_TRUE(counted);
    EXPECT_EQ(shown_cell(row, 4), u8(u8"已完成"));

    const std::optional<std::string> written = book(c.name);
    ASSERT_TRUE(written.has_value());
    const std::string golden = test_support::golden_book(c.golden);
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(*written, golden);
    EXPECT_EQ(status(),
              u8(u8"书籍:") + u8(c.name_utf8) + u8(u8"的所有章节已生成TXT文本在程序目录下"));
  }
}

TEST_F(WindowSessionTest, TheCheckedMenuItemAddsTheEpubBesideTheTxt) {
  GtkWidget* item = widgets().menu_items.at(Command::kToggleEpub);
  const std::string epub = books_.text() + "/西游记.epub";
  const std::string completed =
      u8(u8"书籍:") + u8(u8"西游记") + u8(u8"的所有章节已生成TXT文本在程序目录下");
  // Checked, then unchecked again: the second download is the window as it was before.
  for (const bool checked : {true, false}) {
    SCOPED_TRACE(checked);
    gtk_menu_item_activate(GTK_MENU_ITEM(item));
    EXPECT_EQ(gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(item)), checked);
    text::remove_file(epub);
    search(0, u8"西游");
    choose_row(row_named(u8"西游记"));
    gtk_button_clicked(GTK_BUTTON(widgets().generate_button));
    ASSERT_TRUE(
        pump_until([&] { return window_->shell().workers_running() == 0 && controls_enabled(); }));
    EXPECT_EQ(book("西游记"), test_support::golden_book("source1_xiyouji"));
    EXPECT_EQ(text::read_file(epub).has_value(), checked);
    EXPECT_EQ(status(), checked ? completed + u8(u8"(已同时生成EPUB)") : completed);
  }
}

TEST_F(WindowSessionTest, TheShelfMenuItemsListCheckAndUpdateTheBooksDownloaded) {
  sample_sites::SampleSites serials(sites::SiteConfig::defaults(), {}, {}, {}, {1, 3});
  window_ = std::make_unique<MainWindow>(serials.config(), books_.text());
  window_->show();
  search(1, u8"连载");
  gtk_button_clicked(GTK_BUTTON(widgets().generate_button));  // the first hit, 连载1
  ASSERT_TRUE(
      pump_until([&] { return window_->shell().workers_running() == 0 && controls_enabled(); }));
  serials.grow_serials(1);
  // A fresh window, whose 生成TXT 我的书架 alone must make usable on the shelf's rows.
  window_ = std::make_unique<MainWindow>(serials.config(), books_.text());
  window_->show();
  const auto items_enabled = [&] {
    int enabled = 0;
    for (GtkWidget* item : widgets().off_while_busy) enabled += gtk_widget_get_sensitive(item);
    return enabled;
  };
  struct Case {
    Command command;
    const char8_t* cell;
    const char8_t* status;
  };
  const Case cases[] = {
      {Command::kShowShelf, u8"共3章", u8"书架上有1本书"},
      {Command::kCheckShelf, u8"新1章", u8"检查完成:1本书有新章节"},
      {Command::kUpdateShelf, u8"已完成", u8"书架更新完成:1本书有新章节,共1章"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.command));
    gtk_menu_item_activate(GTK_MENU_ITEM(widgets().menu_items.at(c.command)));
    // Each item's worker (我的书架 reads the shelf on one too) greys the three items with
    // the controls until it ends.
    EXPECT_EQ(items_enabled(), 0);
    ASSERT_TRUE(pump_until([&] {
      return window_->shell().workers_running() == 0 && controls_enabled() && items_enabled() == 3;
    }));
    EXPECT_EQ(gtk_tree_model_iter_n_children(GTK_TREE_MODEL(widgets().rows), nullptr), 1);
    EXPECT_EQ(shown_cell(0, 1), u8(u8"连载1"));
    EXPECT_EQ(shown_cell(0, 4), u8(c.cell));
    EXPECT_EQ(status(), u8(c.status));
  }
}

TEST_F(WindowSessionTest, ClosingDuringADownloadStopsItAndWritesNoBook) {
  search(0, u8"水浒");
  const int row = row_named(u8"水浒传");
  ASSERT_GE(row, 0);
  choose_row(row);
  gtk_button_clicked(GTK_BUTTON(widgets().generate_button));
  // The worker waits on its first request to the interface thread, which is closing: it
  // sees the stop before its first chapter, and close() returns once it has ended.
  window_->close();
  EXPECT_EQ(window_->shell().workers_running(), 0);
  EXPECT_FALSE(book("水浒传").has_value());
}

TEST_F(WindowSessionTest, ClosingDuringASlowDownloadEndsItPromptlyAndKeepsTheStore) {
  // A site that takes 200 ms over every answer, as a real one does.
  sample_sites::SampleSites slow(sites::SiteConfig::defaults(), {}, {},
                                 {std::chrono::milliseconds(200), 0, false});
  window_ = std::make_unique<MainWindow>(slow.config(), books_.text());
  window_->show();
  search(0, u8"水浒");
  const int row = row_named(u8"水浒传");
  ASSERT_GE(row, 0);
  choose_row(row);
  const text::Text address = window_->controls().list_get_cell(row, 0);
  gtk_button_clicked(GTK_BUTTON(widgets().generate_button));
  // Two chapters are written (and kept) once the third one's line shows.
  ASSERT_TRUE(pump_until([&] { return status().find(u8(u8"《第三回")) != std::string::npos; }))
      << status();

  const auto asked = std::chrono::steady_clock::now();
  window_->close();
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(2));
  EXPECT_EQ(window_->shell().workers_running(), 0);
  EXPECT_FALSE(book("水浒传").has_value());
  download::ChapterStore store(books_.text(), address);
  EXPECT_GE(store.stored_count(), 2);
}

// The download throws inside (out of memory at the first chapter): the status line says
// so, the controls come back, no book is written, and the window downloads on.
TEST_F(WindowSessionTest, AFailureInsideADownloadIsShownAndTheWindowGoesOn) {
  search(0, u8"西游");
  const int row = row_named(u8"西游记");
  ASSERT_GE(row, 0);
  choose_row(row);
  test_support::FailingControls failing(window_->controls(), 3,
                                        std::make_exception_ptr(std::bad_alloc()));
  Controller failing_controller(failing, window_->shell(), sites_.config(), books_.text());
  failing_controller.on_generate();
  ASSERT_TRUE(
      pump_until([&] { return window_->shell().workers_running() == 0 && controls_enabled(); }));
  EXPECT_EQ(status(), u8(u8"下载出错:std::bad_alloc"));
  EXPECT_EQ(shown_cell(row, 4), u8(u8"未完成"));
  EXPECT_FALSE(book("西游记").has_value());

  gtk_button_clicked(GTK_BUTTON(widgets().generate_button));
  ASSERT_TRUE(
      pump_until([&] { return window_->shell().workers_running() == 0 && controls_enabled(); }));
  EXPECT_EQ(book("西游记"), test_support::golden_book("source1_xiyouji"));
}

TEST_F(WindowSessionTest, ClosingDuringASearchWaitsForTheSearchToReturn) {
  // The close request arrives while the search pumps events between its fetches.
  g_idle_add(
      [](gpointer window) -> gboolean {
        static_cast<MainWindow*>(window)->close();
        return G_SOURCE_REMOVE;
      },
      window_.get());
  search(0, u8"西游");
  // The search ran to its end on live widgets; only then did the window go.
  EXPECT_TRUE(window_->closed());
}

struct SeenBox {
  std::string title;
  std::string text;
  int boxes = 0;
};

// Answers the first message box on screen with OK, noting its title and text.
gboolean answer_message_box(gpointer data) {
  auto* seen = static_cast<SeenBox*>(data);
  GList* windows = gtk_window_list_toplevels();
  for (GList* item = windows; item; item = item->next) {
    if (!GTK_IS_MESSAGE_DIALOG(item->data) || !gtk_widget_get_visible(GTK_WIDGET(item->data)))
      continue;
    seen->title = gtk_window_get_title(GTK_WINDOW(item->data));
    gchar* text = nullptr;
    g_object_get(item->data, "text", &text, nullptr);
    seen->text = text ? text : "";
    g_free(text);
    ++seen->boxes;
    gtk_dialog_response(GTK_DIALOG(item->data), 1);
    break;
  }
  g_list_free(windows);
  return seen->boxes ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
}

TEST_F(WindowSessionTest, AboutShowsItsBoxModally) {
  SeenBox seen;
  g_timeout_add(20, answer_message_box, &seen);
  gtk_menu_item_activate(GTK_MENU_ITEM(widgets().menu_items.at(Command::kAbout)));
  // The menu item returns only after the box was answered.
  EXPECT_EQ(seen.boxes, 1);
  EXPECT_EQ(seen.title, u8(u8"关于"));
  EXPECT_EQ(seen.text, u8(u8"其实关于什么的都不重要\n\n              By Tarnwick"));
}

TEST_F(WindowSessionTest, MessageBoxResultsFollowTheButtonPressed) {
  SeenBox seen;
  g_timeout_add(20, answer_message_box, &seen);  // answers with response 1: OK
  EXPECT_EQ(window_->shell().message_box("问题", 1, "标题"), 0);
  EXPECT_EQ(seen.title, u8(u8"标题"));
  EXPECT_EQ(seen.text, u8(u8"问题"));
}

}  // namespace
}  // namespace quillreap::app::gtk
