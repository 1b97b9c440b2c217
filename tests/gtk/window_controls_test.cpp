// The controls binding on the GTK widgets, called from the interface thread and from a
// worker thread: texts converted for display but handed back byte for byte, the list's
// selection, the busy state, and the book buffer.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>

#include "app/gtk/main_window.hpp"
#include "tests/gtk/gtk_test_support.hpp"
#include "text/primitives.hpp"

namespace quillreap::app::gtk {
namespace {

class WindowControlsTest : public WindowTest {
 protected:
  // Runs work on a thread of its own, as the download worker does, while this (the
  // interface) thread keeps the loop going.
  void on_worker(const std::function<void()>& work) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
      work();
      done = true;
      g_main_context_wakeup(nullptr);
    });
    EXPECT_TRUE(pump_until([&] { return done.load(); }));
    worker.join();
  }

  std::string cell_shown(int row, int column) {
    GtkTreeIter iter;
    GtkTreeModel* model = GTK_TREE_MODEL(window_->widgets().rows);
    if (!gtk_tree_model_iter_nth_child(model, &iter, nullptr, row)) return "<no row>";
    gchar* value = nullptr;
    gtk_tree_model_get(model, &iter, column, &value, -1);
    std::string shown = value ? value : "";
    g_free(value);
    return shown;
  }
};

TEST_F(WindowControlsTest, ListCellsShownAsUtf8AndReadBackAsWritten) {
  Controls& controls = window_->controls();
  EXPECT_EQ(controls.list_append_row(), 0);
  EXPECT_EQ(controls.list_append_row(), 1);
  controls.list_set_cell(0, 1, "西游记");
  controls.list_set_cell(1, 0, "http://127.0.0.1:1/book/1_1/");
  // A lone lead byte is no GBK character: shown as '?', but the address keeps it.
  controls.list_set_cell(1, 3, "\x81");
  EXPECT_EQ(cell_shown(0, 1), u8(u8"西游记"));
  EXPECT_EQ(cell_shown(1, 0), "http://127.0.0.1:1/book/1_1/");
  EXPECT_EQ(controls.list_get_cell(0, 1), "西游记");
  EXPECT_EQ(controls.list_get_cell(1, 3), "\x81");
  EXPECT_EQ(controls.list_get_cell(0, 4), "");
  // Outside the list every cell reads as "" and writes go nowhere.
  EXPECT_EQ(controls.list_get_cell(-1, 0), "");
  EXPECT_EQ(controls.list_get_cell(2, 0), "");
  EXPECT_EQ(controls.list_get_cell(0, 5), "");
  controls.list_set_cell(5, 0, "x");
  controls.list_set_cell(0, -1, "x");
  EXPECT_EQ(gtk_tree_model_iter_n_children(GTK_TREE_MODEL(window_->widgets().rows), nullptr), 2);

  controls.list_clear();
  EXPECT_EQ(gtk_tree_model_iter_n_children(GTK_TREE_MODEL(window_->widgets().rows), nullptr), 0);
  EXPECT_EQ(controls.list_get_cell(0, 1), "");
  EXPECT_EQ(controls.list_append_row(), 0);
}

TEST_F(WindowControlsTest, SelectionFollowsTheListAndTheUser) {
  Controls& controls = window_->controls();
  EXPECT_EQ(controls.list_selected_row(), -1);
  for (int i = 0; i < 3; ++i) controls.list_append_row();
  controls.list_select_row(2);
  EXPECT_EQ(controls.list_selected_row(), 2);
  controls.list_select_row(1);  // one row at a time
  EXPECT_EQ(controls.list_selected_row(), 1);
  controls.list_select_row(7);  // a row the list lacks changes nothing
  EXPECT_EQ(controls.list_selected_row(), 1);

  // A row the user picks is what the worker reads.
  GtkTreePath* path = gtk_tree_path_new_from_indices(0, -1);
  gtk_tree_selection_select_path(gtk_tree_view_get_selection(window_->widgets().result_list), path);
  gtk_tree_path_free(path);
  EXPECT_EQ(controls.list_selected_row(), 0);

  // The selection stays when the focus moves to a button.
  gtk_widget_grab_focus(window_->widgets().search_button);
  pump_pending();
  EXPECT_EQ(controls.list_selected_row(), 0);

  controls.list_select_row(-1);
  EXPECT_EQ(controls.list_selected_row(), -1);
  controls.list_clear();
  EXPECT_EQ(controls.list_selected_row(), -1);
}

TEST_F(WindowControlsTest, WorkerCallsRunOnTheInterfaceThread) {
  Controls& controls = window_->controls();
  const WindowWidgets& widgets = window_->widgets();
  gtk_entry_set_text(widgets.search_edit, u8(u8" 西游 ").c_str());
  gtk_combo_box_set_active(widgets.source_combo, 1);
  controls.list_append_row();
  controls.list_set_cell(0, 0, "地址");
  controls.list_select_row(0);

  std::thread::id ran_on;
  Text word, cell;
  int choice = -2, selected = -2;
  on_worker([&] {
    controls.set_busy(true);
    controls.set_status("正在处理 《第一回》");
    word = controls.search_word();
    choice = controls.source_choice();
    selected = controls.list_selected_row();
    cell = controls.list_get_cell(selected, 0);
    controls.list_append_row();
    controls.list_set_cell(1, 1, "三国演义");
    window_->controls().interface_thread().call([&] { ran_on = std::this_thread::get_id(); });
  });
  EXPECT_EQ(ran_on, std::this_thread::get_id());
  EXPECT_EQ(word, " 西游 ");  // as typed, untrimmed, back in GBK
  EXPECT_EQ(choice, 1);
  EXPECT_EQ(selected, 0);
  EXPECT_EQ(cell, "地址");
  EXPECT_EQ(controls.list_get_cell(1, 1), "三国演义");
  EXPECT_EQ(gtk_label_get_text(widgets.status_parts[1]), u8(u8"正在处理 《第一回》"));
  EXPECT_FALSE(gtk_widget_get_sensitive(widgets.search_button));
  EXPECT_FALSE(gtk_widget_get_sensitive(widgets.generate_button));
  EXPECT_FALSE(gtk_widget_get_sensitive(GTK_WIDGET(widgets.source_combo)));
  // Only the three are locked: the word and the list stay usable.
  EXPECT_TRUE(gtk_widget_get_sensitive(GTK_WIDGET(widgets.search_edit)));
  EXPECT_TRUE(gtk_widget_get_sensitive(GTK_WIDGET(widgets.result_list)));

  on_worker([&] { controls.set_busy(false); });
  EXPECT_TRUE(gtk_widget_get_sensitive(widgets.search_button));
  EXPECT_TRUE(gtk_widget_get_sensitive(widgets.generate_button));
  EXPECT_TRUE(gtk_widget_get_sensitive(GTK_WIDGET(widgets.source_combo)));
}

TEST_F(WindowControlsTest, ExceptionInAWorkerRequestReachesTheWorkerAndTheWindowStaysUsable) {
  Controls& controls = window_->controls();
  int caught = 0;
  on_worker([&] {
    try {
      window_->controls().interface_thread().call([]() -> int { throw std::runtime_error("x"); });
    } catch (const std::runtime_error&) {
      ++caught;
    }
    try {
      window_->controls().interface_thread().call([] { throw std::logic_error("y"); });
    } catch (const std::logic_error&) {
      ++caught;
    }
    // The next request is carried as before: the loop was not unwound.
    controls.set_status("之后");
  });
  EXPECT_EQ(caught, 2);
  EXPECT_EQ(gtk_label_get_text(window_->widgets().status_parts[1]), u8(u8"之后"));
  on_worker([&] { controls.append_log("书"); });
  EXPECT_EQ(controls.log_text(), "书");
}

TEST_F(WindowControlsTest, BookBufferKeepsEveryByteAndLeavesTheViewAlone) {
  Controls& controls = window_->controls();
  // Bytes that are no valid GBK and line breaks as written: the book is not display text.
  const std::string chunk = std::string("第一回\r\n") + "\x81\xFF" + "\r\n\r\n";
  std::string expected;
  on_worker([&] {
    controls.log_clear();
    for (int i = 0; i < 2000; ++i) controls.append_log(chunk);
  });
  for (int i = 0; i < 2000; ++i) expected += chunk;
  EXPECT_EQ(controls.log_text(), expected);
  EXPECT_EQ(gtk_text_buffer_get_char_count(gtk_text_view_get_buffer(window_->widgets().log_box)),
            0);
  controls.log_clear();
  EXPECT_EQ(controls.log_text(), "");
}

TEST_F(WindowControlsTest, DoEventsPumpsOnlyOnTheInterfaceThread) {
  bool ran = false;
  g_idle_add(
      [](gpointer flag) -> gboolean {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
      },
      &ran);
  // Another thread has no pump: it returns at once and runs nothing of the window's.
  std::thread([] { text::do_events(); }).join();
  EXPECT_FALSE(ran);
  text::do_events();
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace quillreap::app::gtk
