// The GTK binding of the controls: status label, result list, busy state, the search
// word and source choice; the book buffer is the base's.
#include "app/gtk/gtk_controls.hpp"

#include <string>

#include "text/codepage.hpp"

namespace quillreap::app::gtk {

// The base is handed the interface thread before that member is made; it uses it only
// once the controls are whole.
GtkControls::GtkControls(const WindowWidgets& widgets)
    : BookBufferControls(interface_thread_), widgets_(widgets) {}

void GtkControls::set_status(std::string_view text) {
  interface_thread_.call([&] {
    const Text shown = with_book_folder_note(text, book_folder_);
    GtkLabel* label = widgets_.status_parts[1];
    gtk_label_set_text(label, text::ansi_to_utf8(shown).c_str());
    // The note ends in the folder's name: a long line loses its middle, not the folder.
    const bool noted = shown.size() != text.size();
    gtk_label_set_ellipsize(label, noted ? PANGO_ELLIPSIZE_MIDDLE : PANGO_ELLIPSIZE_END);
    gtk_widget_set_tooltip_text(GTK_WIDGET(label),
                                noted ? text::ansi_to_utf8(shown).c_str() : nullptr);
  });
}

void GtkControls::list_clear() {
  interface_thread_.call([&] {
    state_.clear_rows();
    gtk_list_store_clear(widgets_.rows);
  });
}

int GtkControls::list_append_row() {
  return interface_thread_.call([&] {
    GtkTreeIter iter;
    gtk_list_store_append(widgets_.rows, &iter);
    return state_.append_row();
  });
}

void GtkControls::list_set_cell(int row, int column, std::string_view text) {
  interface_thread_.call([&] {
    GtkTreeIter iter;
    if (!state_.has_cell(row, column) ||
        !gtk_tree_model_iter_nth_child(GTK_TREE_MODEL(widgets_.rows), &iter, nullptr, row))
      return;
    state_.set_cell(row, column, text);
    gtk_list_store_set(widgets_.rows, &iter, column, text::ansi_to_utf8(text).c_str(), -1);
  });
}

Text GtkControls::list_get_cell(int row, int column) {
  return interface_thread_.call([&] { return state_.cell(row, column); });
}

int GtkControls::list_selected_row() {
  return interface_thread_.call([&] {
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    GtkTreeSelection* selection = gtk_tree_view_get_selection(widgets_.result_list);
    if (!gtk_tree_selection_get_selected(selection, &model, &iter)) return -1;
    GtkTreePath* path = gtk_tree_model_get_path(model, &iter);
    const int row = gtk_tree_path_get_indices(path)[0];
    gtk_tree_path_free(path);
    return row;
  });
}

void GtkControls::list_select_row(int row) {
  interface_thread_.call([&] {
    GtkTreeSelection* selection = gtk_tree_view_get_selection(widgets_.result_list);
    if (row < 0) {
      gtk_tree_selection_unselect_all(selection);
      return;
    }
    // A row the list does not have changes nothing, as in a list view.
    if (row >= state_.row_count()) return;
    GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
    gtk_tree_selection_select_path(selection, path);
    gtk_tree_path_free(path);
  });
}

void GtkControls::set_busy(bool busy) {
  interface_thread_.call([&] {
    const gboolean enabled = busy ? FALSE : TRUE;
    gtk_widget_set_sensitive(widgets_.search_button, enabled);
    gtk_widget_set_sensitive(widgets_.generate_button, enabled);
    gtk_widget_set_sensitive(GTK_WIDGET(widgets_.source_combo), enabled);
    for (GtkWidget* item : widgets_.off_while_busy) gtk_widget_set_sensitive(item, enabled);
  });
}

Text GtkControls::search_word() {
  return interface_thread_.call([&] {
    return text::utf8_to_ansi(std::string_view(gtk_entry_get_text(widgets_.search_edit)));
  });
}

int GtkControls::source_choice() {
  return interface_thread_.call([&] { return gtk_combo_box_get_active(widgets_.source_combo); });
}

}  // namespace quillreap::app::gtk
