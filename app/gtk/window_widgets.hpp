// The main window's GTK widgets, built from the window description: which widget shows
// which control, so the controls binding and the tests can reach them by name.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/window_description.hpp"

namespace quillreap::app::gtk {

// The client area below the menu bar: the description's outer size minus the frame a
// Windows window draws around it (4 px each side, a 23 px title bar) and the menu bar,
// whose height GTK picks itself. The window manager adds its own frame outside.
inline constexpr int kClientWidth = 483;
inline constexpr int kClientHeight = 312;

struct WindowWidgets {
  GtkWidget* window = nullptr;
  GtkWidget* menu_bar = nullptr;
  GtkWidget* menu = nullptr;  // the "菜单" item of the menu bar
  std::map<Command, GtkWidget*> menu_items;
  std::vector<GtkWidget*> off_while_busy;  // the menu items greyed with the busy controls
  GtkWidget* client = nullptr;             // the GtkFixed holding the window's own controls
  // The widget placed for each control, by its name: a GtkFrame for a group box (placed
  // with its children in a GtkFixed of the box's size), the GtkScrolledWindow around the
  // list, a GtkBox for the status bar, the widget itself for the rest.
  std::map<std::string, GtkWidget*, std::less<>> controls;
  // The GtkFixed a group box's children are placed in, by the group box's name.
  std::map<std::string, GtkWidget*, std::less<>> containers;

  GtkEntry* search_edit = nullptr;
  GtkComboBox* source_combo = nullptr;
  GtkWidget* search_button = nullptr;
  GtkWidget* generate_button = nullptr;
  GtkTreeView* result_list = nullptr;
  GtkListStore* rows = nullptr;  // owned by the tree view
  GtkTextView* log_box = nullptr;
  GtkLabel* status_parts[2] = {nullptr, nullptr};

  GtkWidget* control(std::string_view name) const;
};

// Builds (but does not show) the window of the description; each button and menu item
// with a command calls on_command with it, on the interface thread.
WindowWidgets build_window(const WindowDescription& description,
                           std::function<void(Command)> on_command);

}  // namespace quillreap::app::gtk
