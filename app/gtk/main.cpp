// quillreap on Linux: shows the main window and runs the GTK loop until it is closed.
// Books are written next to the program, or in the download folder when the program's
// folder takes no files (an installed copy); the build's sites and the user's site files.
#include <gtk/gtk.h>

#include "app/gtk/book_folder.hpp"
#include "app/gtk/main_window.hpp"
#include "sites/site_folder.hpp"
#include "text/files.hpp"

int main(int argc, char** argv) {
  using namespace quillreap;
  gtk_init(&argc, &argv);
  sites::SiteConfig config = sites::SiteConfig::defaults();
  const std::vector<text::Text> reasons =
      sites::take_site_folder(config, text::user_sites_directory());
  app::gtk::MainWindow window(std::move(config),
                              app::gtk::choose_book_folder(text::app_directory()));
  // A broken site file leaves its site out; the status line names the file.
  if (!reasons.empty()) window.controls().set_status(sites::site_folder_line(reasons));
  window.set_on_closed([] { gtk_main_quit(); });
  window.show();
  gtk_main();
  return 0;
}
