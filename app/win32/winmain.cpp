// quillreap.exe: shows the main window and runs its message loop until it is closed.
// No command line, no settings: books go to the program's own directory, and the site files
// of its sites folder join the built-in sites.
#include <windows.h>

#include "app/controller.hpp"
#include "app/win32/command_binding.hpp"
#include "app/win32/main_window.hpp"
#include "app/win32/message_loop.hpp"
#include "app/win32/win32_controls.hpp"
#include "app/win32/win32_shell.hpp"
#include "sites/site_choice.hpp"
#include "sites/site_folder.hpp"
#include "text/files.hpp"
#include "text/wide.hpp"

using namespace quillreap;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const text::Text directory = text::app_directory();
  SetCurrentDirectoryW(text::gbk_to_wide(directory).c_str());

  sites::SiteConfig config = sites::SiteConfig::defaults();
  const std::vector<text::Text> reasons =
      sites::take_site_folder(config, text::user_sites_directory());
  const std::vector<text::Text> source_items = sites::site_choices(config);
  const app::WindowDescription description = app::main_window_description(source_items);
  app::win32::MainWindow window;
  if (!window.load_window(description)) return 1;
  app::win32::Win32Controls controls(window);
  app::win32::Win32Shell shell;
  app::Controller controller(controls, shell, std::move(config), directory);
  // A broken site file leaves its site out; the status line names the file.
  if (!reasons.empty()) controls.set_status(sites::site_folder_line(reasons));
  app::win32::bind_commands(window, controller);

  const int code = app::win32::run_message_loop(window.handle());
  // Nothing waits for a download worker: ending the process here, before the objects
  // above go out of scope, stops a running one before anything it uses is torn down. The
  // book file is replaced in one step, so none is left half written, and every chapter
  // already in the chapter store is whole there. The process is ended outright rather
  // than with ExitProcess, whose unloading of the libraries waits on WinInet's requests
  // still in flight on the fetching threads.
  controller.stop_download();
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
  return code;
}
