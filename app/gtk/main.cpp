// quillreap on Linux: shows the main window and runs the GTK loop until it is closed.
// Books are written next to the program, or in the download folder when the program's
// folder takes no files (an installed copy); the build's site configuration.
#include <gtk/gtk.h>

#include "app/gtk/book_folder.hpp"
#include "app/gtk/main_window.hpp"
#include "text/files.hpp"

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  quillreap::app::gtk::MainWindow window(
      quillreap::sites::SiteConfig::defaults(),
      quillreap::app::gtk::choose_book_folder(quillreap::text::app_directory()));
  window.set_on_closed([] { gtk_main_quit(); });
  window.show();
  gtk_main();
  return 0;
}
