// The GTK window against its description: frame, menu, every control's caption, place,
// size and state, the list's columns and the status bar's parts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/gtk/main_window.hpp"
#include "app/window_description.hpp"
#include "tests/gtk/gtk_test_support.hpp"
#include "text/codepage.hpp"

namespace quillreap::app::gtk {
namespace {

class WindowLayoutTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped()) return;
    // Shown and laid out: every visible control has its allocation.
    ASSERT_TRUE(pump_until([&] { return gtk_widget_get_mapped(widgets().window); }));
    pump_pending();
  }

  // Where a control sits inside its container (the client area or its group box).
  GdkRectangle place_of(const ControlDescription& control) const {
    GtkWidget* container = control.container.empty()
                               ? widgets().client
                               : widgets().containers.at(std::string(control.container));
    GtkAllocation outer, inner;
    gtk_widget_get_allocation(container, &outer);
    gtk_widget_get_allocation(widgets().control(control.name), &inner);
    return {inner.x - outer.x, inner.y - outer.y, inner.width, inner.height};
  }
};

std::vector<std::string> child_labels(GtkWidget* menu) {
  std::vector<std::string> labels;
  GList* children = gtk_container_get_children(GTK_CONTAINER(menu));
  for (GList* child = children; child; child = child->next)
    if (GTK_IS_SEPARATOR_MENU_ITEM(child->data)) {
      labels.emplace_back("-");
    } else {
      labels.emplace_back(gtk_menu_item_get_label(GTK_MENU_ITEM(child->data)));
    }
  g_list_free(children);
  return labels;
}

TEST_F(WindowLayoutTest, FrameAndMenu) {
  GtkWindow* window = GTK_WINDOW(widgets().window);
  EXPECT_STREQ(gtk_window_get_title(window), "Quillreap V1.1 - Tarnwick");
  EXPECT_FALSE(gtk_window_get_resizable(window));

  EXPECT_EQ(gtk_menu_item_get_label(GTK_MENU_ITEM(widgets().menu)), u8(u8"菜单"));
  GtkWidget* menu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(widgets().menu));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(child_labels(menu), (std::vector<std::string>{
                                    u8(u8"检测更新"), u8(u8"关于"), "-", u8(u8"同时生成EPUB"), "-",
                                    u8(u8"我的书架"), u8(u8"检查新章节"), u8(u8"更新全部书籍")}));
  GList* items = gtk_container_get_children(GTK_CONTAINER(menu));
  EXPECT_EQ(widgets().menu_items.at(Command::kCheckUpdates), g_list_nth_data(items, 0));
  GtkWidget* epub = widgets().menu_items.at(Command::kToggleEpub);
  EXPECT_EQ(epub, g_list_nth_data(items, 3));
  ASSERT_TRUE(GTK_IS_CHECK_MENU_ITEM(epub));
  EXPECT_FALSE(gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(epub)));  // unchecked at start
  g_list_free(items);
}

TEST_F(WindowLayoutTest, EveryControlAtItsPlaceWithItsSizeAndState) {
  for (const ControlDescription& control : main_window_description().controls) {
    SCOPED_TRACE(text::ansi_to_utf8(control.name));
    GtkWidget* widget = widgets().control(control.name);
    ASSERT_NE(widget, nullptr);
    int width = 0, height = 0;
    gtk_widget_get_size_request(widget, &width, &height);
    EXPECT_EQ(width, control.width);
    EXPECT_EQ(height, control.height);
    EXPECT_EQ(gtk_widget_get_visible(widget) != FALSE, control.visible);
    EXPECT_EQ(gtk_widget_get_sensitive(widget) != FALSE, control.enabled);
    if (!control.visible) continue;
    const GdkRectangle place = place_of(control);
    EXPECT_EQ(place.x, control.left);
    EXPECT_EQ(place.y, control.top);
    EXPECT_EQ(place.width, control.width);
    EXPECT_EQ(place.height, control.height);
  }
}

TEST_F(WindowLayoutTest, CaptionsAndInitialContents) {
  const auto frame_label = [&](std::string_view name) {
    return std::string(gtk_frame_get_label(GTK_FRAME(widgets().control(name))));
  };
  EXPECT_EQ(frame_label(names::kGroupOperations), u8(u8"操作框"));
  EXPECT_EQ(frame_label(names::kGroupResults), u8(u8"搜索结果"));
  EXPECT_EQ(gtk_label_get_text(GTK_LABEL(widgets().control(names::kLabelName))), u8(u8"小说名:"));
  EXPECT_EQ(gtk_button_get_label(GTK_BUTTON(widgets().search_button)), u8(u8"搜  索"));
  EXPECT_EQ(gtk_button_get_label(GTK_BUTTON(widgets().generate_button)), u8(u8"生成TXT"));
  EXPECT_STREQ(gtk_entry_get_text(widgets().search_edit), "");

  // The drop-down list: two items, the first chosen, nothing to type into.
  GtkComboBox* combo = widgets().source_combo;
  EXPECT_FALSE(gtk_combo_box_get_has_entry(combo));
  EXPECT_EQ(gtk_combo_box_get_active(combo), 0);
  EXPECT_EQ(gtk_tree_model_iter_n_children(gtk_combo_box_get_model(combo), nullptr), 2);
  gchar* first = gtk_combo_box_text_get_active_text(GTK_COMBO_BOX_TEXT(combo));
  EXPECT_EQ(std::string(first), u8(u8"源站①"));
  g_free(first);
  gtk_combo_box_set_active(combo, 1);
  gchar* second = gtk_combo_box_text_get_active_text(GTK_COMBO_BOX_TEXT(combo));
  EXPECT_EQ(std::string(second), u8(u8"源站②"));
  g_free(second);

  // The hidden log box stays hidden and empty.
  EXPECT_FALSE(gtk_widget_get_visible(GTK_WIDGET(widgets().log_box)));
  EXPECT_EQ(gtk_text_buffer_get_char_count(gtk_text_view_get_buffer(widgets().log_box)), 0);
}

TEST_F(WindowLayoutTest, ListColumnsFixedUnsortedSingleSelection) {
  GtkTreeView* list = widgets().result_list;
  const auto& columns = main_window_description().columns;
  // The described columns, then an empty one that only carries the header to the edge.
  ASSERT_EQ(static_cast<std::size_t>(gtk_tree_view_get_n_columns(list)), columns.size() + 1);
  GtkTreeViewColumn* rest = gtk_tree_view_get_column(list, static_cast<int>(columns.size()));
  EXPECT_STREQ(gtk_tree_view_column_get_title(rest), "");
  EXPECT_FALSE(gtk_tree_view_column_get_resizable(rest));
  const std::vector<std::string> titles = {u8(u8"地址"), u8(u8"小说名"), u8(u8"小说介绍"),
                                           u8(u8"作者"), u8(u8"状态")};
  for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
    SCOPED_TRACE(i);
    GtkTreeViewColumn* column = gtk_tree_view_get_column(list, i);
    EXPECT_EQ(gtk_tree_view_column_get_title(column), titles[i]);
    EXPECT_EQ(gtk_tree_view_column_get_sizing(column), GTK_TREE_VIEW_COLUMN_FIXED);
    EXPECT_EQ(gtk_tree_view_column_get_fixed_width(column), columns[i].width);
    EXPECT_EQ(gtk_tree_view_column_get_width(column), columns[i].width);
    EXPECT_EQ(gtk_tree_view_column_get_sort_column_id(column), -1);
  }
  EXPECT_TRUE(gtk_tree_view_get_headers_visible(list));
  EXPECT_FALSE(gtk_tree_view_get_headers_clickable(list));
  EXPECT_EQ(gtk_tree_selection_get_mode(gtk_tree_view_get_selection(list)), GTK_SELECTION_SINGLE);
  EXPECT_EQ(gtk_tree_model_get_n_columns(GTK_TREE_MODEL(widgets().rows)), 5);
  EXPECT_EQ(gtk_tree_model_iter_n_children(GTK_TREE_MODEL(widgets().rows), nullptr), 0);
}

TEST_F(WindowLayoutTest, StatusBarTwoPartsWithFixedLabel) {
  EXPECT_EQ(gtk_label_get_text(widgets().status_parts[0]), u8(u8"提示:"));
  EXPECT_STREQ(gtk_label_get_text(widgets().status_parts[1]), "");
  GtkAllocation bar, label, rest;
  gtk_widget_get_allocation(widgets().control(names::kStatusBar), &bar);
  gtk_widget_get_allocation(GTK_WIDGET(widgets().status_parts[0]), &label);
  gtk_widget_get_allocation(GTK_WIDGET(widgets().status_parts[1]), &rest);
  EXPECT_EQ(label.x, bar.x);
  EXPECT_EQ(label.width, 50);
  // The second part takes what is left of the bar.
  EXPECT_GT(rest.x, label.x + label.width - 1);
  EXPECT_EQ(rest.x + rest.width, bar.x + bar.width);

  window_->controls().set_status("");
  EXPECT_EQ(gtk_label_get_text(widgets().status_parts[0]), u8(u8"提示:"));
}

}  // namespace
}  // namespace quillreap::app::gtk
