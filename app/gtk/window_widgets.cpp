// Renders the window description with GTK 3: a fixed, non-resizable window, the menu bar,
// group boxes as captioned frames with their children at the described places, and the
// status bar's two parts. Runs on the interface thread.
#include "app/gtk/window_widgets.hpp"

#include <memory>
#include <string>
#include <utility>

#include "text/codepage.hpp"

namespace quillreap::app::gtk {
namespace {

// Win32 controls are small: the default 9-point font and no extra padding, so each
// control fits the size the description gives it instead of GTK's roomier minimum.
constexpr const char* kCompactStyle = R"css(
#quillreap-main { font-size: 9pt; }
#quillreap-main entry { min-height: 0; padding: 0 3px; }
#quillreap-main button { min-height: 0; min-width: 0; padding: 0 4px; }
#quillreap-main combobox button { padding: 0 2px; }
#quillreap-main combobox arrow { min-width: 12px; min-height: 12px; }
#quillreap-main treeview header button { padding: 0 4px; }
#quillreap-main treeview header button.closed-column { padding: 0; border-width: 0; }
#quillreap-main .status-part { padding: 0 4px; }
)css";

struct CommandHandler {
  std::shared_ptr<std::function<void(Command)>> sink;
  Command command;
};

void run_command(GtkWidget*, gpointer data) {
  const auto* handler = static_cast<const CommandHandler*>(data);
  (*handler->sink)(handler->command);
}

void connect_command(GtkWidget* widget, const char* signal,
                     const std::shared_ptr<std::function<void(Command)>>& sink, Command command) {
  g_signal_connect_data(
      widget, signal, G_CALLBACK(run_command), new CommandHandler{sink, command},
      [](gpointer data, GClosure*) { delete static_cast<CommandHandler*>(data); }, GConnectFlags{});
}

std::string utf8(std::string_view gbk) {
  return text::ansi_to_utf8(gbk);
}

void apply_compact_style(GtkWidget* window) {
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, kCompactStyle, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gtk_widget_get_screen(window),
                                            GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
}

GtkWidget* build_menu_bar(const WindowDescription& description, WindowWidgets& widgets,
                          const std::shared_ptr<std::function<void(Command)>>& sink) {
  GtkWidget* bar = gtk_menu_bar_new();
  GtkWidget* menu_item = gtk_menu_item_new_with_label(utf8(description.menu_caption).c_str());
  GtkWidget* menu = gtk_menu_new();
  for (const MenuItemDescription& item : description.menu_items) {
    if (item.caption.empty()) {
      gtk_menu_shell_append(GTK_MENU_SHELL(menu), gtk_separator_menu_item_new());
      continue;
    }
    // A check item toggles its own mark before "activate" reaches the controller.
    GtkWidget* entry = item.check ? gtk_check_menu_item_new_with_label(utf8(item.caption).c_str())
                                  : gtk_menu_item_new_with_label(utf8(item.caption).c_str());
    connect_command(entry, "activate", sink, item.command);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), entry);
    widgets.menu_items[item.command] = entry;
    if (item.off_while_busy) widgets.off_while_busy.push_back(entry);
  }
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(menu_item), menu);
  gtk_menu_shell_append(GTK_MENU_SHELL(bar), menu_item);
  widgets.menu = menu_item;
  return bar;
}

GtkWidget* build_result_list(const WindowDescription& description, WindowWidgets& widgets) {
  widgets.rows = gtk_list_store_new(5, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING,
                                    G_TYPE_STRING);
  GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(widgets.rows));
  g_object_unref(widgets.rows);  // the view holds the store from here on
  GtkTreeView* tree = GTK_TREE_VIEW(view);
  int index = 0;
  for (const ColumnDescription& column : description.columns) {
    GtkCellRenderer* renderer = gtk_cell_renderer_text_new();
    g_object_set(renderer, "ellipsize", PANGO_ELLIPSIZE_END, nullptr);
    GtkTreeViewColumn* tree_column = gtk_tree_view_column_new_with_attributes(
        utf8(column.title).c_str(), renderer, "text", index++, nullptr);
    // Fixed widths as described; the address column is there at width 0 and shows
    // only when its edge is dragged open.
    gtk_tree_view_column_set_sizing(tree_column, GTK_TREE_VIEW_COLUMN_FIXED);
    gtk_tree_view_column_set_fixed_width(tree_column, column.width);
    gtk_tree_view_column_set_resizable(tree_column, TRUE);
    gtk_tree_view_append_column(tree, tree_column);
    // A header of width 0 must not ask for room for its padding and border.
    if (column.width == 0)
      gtk_style_context_add_class(
          gtk_widget_get_style_context(gtk_tree_view_column_get_button(tree_column)),
          "closed-column");
  }
  // The header runs on past the last column, empty, as a Windows list view's does;
  // without it GTK would widen the last column to the list's edge.
  GtkTreeViewColumn* rest = gtk_tree_view_column_new();
  gtk_tree_view_column_set_expand(rest, TRUE);
  gtk_tree_view_append_column(tree, rest);
  // Rows stay in insertion order: no column sorts and the headers are not buttons.
  gtk_tree_view_set_headers_clickable(tree, FALSE);
  gtk_tree_view_set_enable_search(tree, FALSE);
  gtk_tree_view_set_grid_lines(tree, GTK_TREE_VIEW_GRID_LINES_NONE);
  gtk_tree_selection_set_mode(gtk_tree_view_get_selection(tree), GTK_SELECTION_SINGLE);
  widgets.result_list = tree;

  GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_AUTOMATIC,
                                 GTK_POLICY_AUTOMATIC);
  gtk_container_add(GTK_CONTAINER(scroller), view);
  return scroller;
}

GtkWidget* build_status_bar(const WindowDescription& description, WindowWidgets& widgets) {
  GtkWidget* bar = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
  for (std::size_t i = 0; i < description.status_parts.size() && i < 2; ++i) {
    const StatusPartDescription& part = description.status_parts[i];
    GtkWidget* label = gtk_label_new(utf8(part.text).c_str());
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    gtk_style_context_add_class(gtk_widget_get_style_context(label), "status-part");
    if (part.width >= 0) {
      gtk_widget_set_size_request(label, part.width, -1);
    } else {
      gtk_widget_set_hexpand(label, TRUE);
      gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
    }
    if (i > 0)
      gtk_box_pack_start(GTK_BOX(bar), gtk_separator_new(GTK_ORIENTATION_VERTICAL), FALSE, FALSE,
                         0);
    gtk_box_pack_start(GTK_BOX(bar), label, part.width < 0, part.width < 0, 0);
    widgets.status_parts[i] = GTK_LABEL(label);
  }
  return bar;
}

// The widget for one control (not yet placed), or null for a kind this window lacks.
GtkWidget* build_control(const WindowDescription& description, const ControlDescription& control,
                         WindowWidgets& widgets,
                         const std::shared_ptr<std::function<void(Command)>>& sink) {
  switch (control.kind) {
    case ControlKind::kGroupBox:
      return gtk_frame_new(utf8(control.caption).c_str());
    case ControlKind::kLabel: {
      GtkWidget* label = gtk_label_new(utf8(control.caption).c_str());
      gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
      return label;
    }
    case ControlKind::kEdit: {
      if (control.multiline) {
        // The log box: wraps, takes Enter, no scroll bars. Never shown; the book itself
        // is kept by the controls binding, not in this view's buffer.
        GtkWidget* view = gtk_text_view_new();
        gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view), GTK_WRAP_WORD_CHAR);
        gtk_text_view_set_accepts_tab(GTK_TEXT_VIEW(view), FALSE);
        widgets.log_box = GTK_TEXT_VIEW(view);
        return view;
      }
      GtkWidget* entry = gtk_entry_new();
      gtk_entry_set_text(GTK_ENTRY(entry), utf8(control.caption).c_str());
      gtk_entry_set_width_chars(GTK_ENTRY(entry), 1);  // the described width rules
      if (control.name == names::kSearchEdit) widgets.search_edit = GTK_ENTRY(entry);
      return entry;
    }
    case ControlKind::kDropDown: {
      GtkWidget* combo = gtk_combo_box_text_new();  // a list only: nothing can be typed
      for (std::string_view item : control.items)
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(combo), utf8(item).c_str());
      if (!control.items.empty()) gtk_combo_box_set_active(GTK_COMBO_BOX(combo), 0);
      // The item text without the cell's own padding fits the 20-pixel-high list.
      GList* cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(combo));
      for (GList* cell = cells; cell; cell = cell->next)
        g_object_set(cell->data, "ypad", 0, nullptr);
      g_list_free(cells);
      if (control.name == names::kSourceCombo) widgets.source_combo = GTK_COMBO_BOX(combo);
      return combo;
    }
    case ControlKind::kButton: {
      GtkWidget* button = gtk_button_new_with_label(utf8(control.caption).c_str());
      if (control.on_click != Command::kNone)
        connect_command(button, "clicked", sink, control.on_click);
      if (control.name == names::kSearchButton) widgets.search_button = button;
      if (control.name == names::kGenerateButton) widgets.generate_button = button;
      return button;
    }
    case ControlKind::kListView:
      return build_result_list(description, widgets);
    case ControlKind::kStatusBar:
      return build_status_bar(description, widgets);
  }
  return nullptr;
}

}  // namespace

GtkWidget* WindowWidgets::control(std::string_view name) const {
  const auto found = controls.find(name);
  return found == controls.end() ? nullptr : found->second;
}

WindowWidgets build_window(const WindowDescription& description,
                           std::function<void(Command)> on_command) {
  auto sink = std::make_shared<std::function<void(Command)>>(std::move(on_command));
  WindowWidgets widgets;

  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_widget_set_name(window, "quillreap-main");
  apply_compact_style(window);
  gtk_window_set_title(GTK_WINDOW(window), utf8(description.caption).c_str());
  gtk_window_set_resizable(GTK_WINDOW(window), description.resizable ? TRUE : FALSE);
  if (description.centred) gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  widgets.window = window;

  GtkWidget* layout = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_container_add(GTK_CONTAINER(window), layout);
  widgets.menu_bar = build_menu_bar(description, widgets, sink);
  gtk_box_pack_start(GTK_BOX(layout), widgets.menu_bar, FALSE, FALSE, 0);
  widgets.client = gtk_fixed_new();
  gtk_widget_set_size_request(widgets.client, kClientWidth, kClientHeight);
  gtk_box_pack_start(GTK_BOX(layout), widgets.client, TRUE, TRUE, 0);

  // Containers come before their children in the description.
  for (const ControlDescription& control : description.controls) {
    GtkWidget* widget = build_control(description, control, widgets, sink);
    if (!widget) continue;
    gtk_widget_set_size_request(widget, control.width, control.height);
    gtk_widget_set_sensitive(widget, control.enabled ? TRUE : FALSE);
    if (!control.visible) gtk_widget_set_no_show_all(widget, TRUE);

    GtkWidget* parent = widgets.client;
    if (!control.container.empty()) {
      const auto found = widgets.containers.find(control.container);
      if (found != widgets.containers.end()) parent = found->second;
    }
    if (control.kind == ControlKind::kGroupBox) {
      // The frame is drawn first and the children on top of it, all placed from the
      // group box's own top-left corner as a Windows group box places them.
      GtkWidget* box = gtk_fixed_new();
      gtk_widget_set_size_request(box, control.width, control.height);
      gtk_fixed_put(GTK_FIXED(box), widget, 0, 0);
      gtk_fixed_put(GTK_FIXED(parent), box, control.left, control.top);
      widgets.containers.emplace(std::string(control.name), box);
    } else {
      gtk_fixed_put(GTK_FIXED(parent), widget, control.left, control.top);
    }
    widgets.controls.emplace(std::string(control.name), widget);
  }
  return widgets;
}

}  // namespace quillreap::app::gtk
