// Message boxes as GtkMessageDialog, the update page through the desktop's default
// handler, and the download workers.
#include "app/gtk/gtk_shell.hpp"

#include <string>
#include <system_error>

#include "text/codepage.hpp"
#include "text/primitives.hpp"

namespace quillreap::app::gtk {
namespace {

// MessageBox's button sets (the low four bits of its style) and result codes.
constexpr int kButtonsMask = 0xF;
constexpr int kOkCancel = 1, kAbortRetryIgnore = 2, kYesNoCancel = 3, kYesNo = 4, kRetryCancel = 5;
constexpr int kIdOk = 1, kIdCancel = 2, kIdAbort = 3, kIdRetry = 4, kIdIgnore = 5, kIdYes = 6,
              kIdNo = 7;

void add_buttons(GtkDialog* dialog, int buttons) {
  const auto add = [dialog](const char* label, int id) {
    gtk_dialog_add_button(dialog, label, id);
  };
  switch (buttons) {
    case kOkCancel:
      add("_OK", kIdOk);
      add("_Cancel", kIdCancel);
      break;
    case kAbortRetryIgnore:
      add("_Abort", kIdAbort);
      add("_Retry", kIdRetry);
      add("_Ignore", kIdIgnore);
      break;
    case kYesNoCancel:
      add("_Yes", kIdYes);
      add("_No", kIdNo);
      add("_Cancel", kIdCancel);
      break;
    case kYesNo:
      add("_Yes", kIdYes);
      add("_No", kIdNo);
      break;
    case kRetryCancel:
      add("_Retry", kIdRetry);
      add("_Cancel", kIdCancel);
      break;
    default:
      add("_OK", kIdOk);
      break;
  }
}

// Windows line breaks shown as GTK expects them.
std::string display_text(std::string_view gbk) {
  std::string out;
  for (const char c : text::ansi_to_utf8(gbk))
    if (c != '\r') out.push_back(c);
  return out;
}

}  // namespace

GtkShell::GtkShell(GtkWindow* owner) : owner_(owner) {}

GtkShell::~GtkShell() {
  join_workers();
}

int GtkShell::message_box(std::string_view text, int style, std::string_view caption) {
  GtkWidget* dialog = gtk_message_dialog_new(owner_, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER,
                                             GTK_BUTTONS_NONE, "%s", display_text(text).c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), display_text(caption).c_str());
  add_buttons(GTK_DIALOG(dialog), style & kButtonsMask);
  const int response = gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  // Closing the box without a button counts as Cancel, or as OK when OK is the only one.
  int id = response > 0 ? response : kIdCancel;
  if (response <= 0 && (style & kButtonsMask) == 0) id = kIdOk;
  return id - 1;
}

void GtkShell::open_in_browser(std::string_view address) {
  GError* error = nullptr;
  g_app_info_launch_default_for_uri(std::string(address).c_str(), nullptr, &error);
  if (error) g_error_free(error);  // a failure to open the page is silent
}

bool GtkShell::start_worker(std::function<void()> work) {
  std::lock_guard lock(mutex_);
  ++running_;
  try {
    workers_.emplace_back([this, work = std::move(work)] {
      run_guarded(work);
      --running_;
      g_main_context_wakeup(nullptr);  // a join_workers waiting in the loop looks again
    });
  } catch (const std::system_error&) {
    --running_;
    return false;
  }
  return true;
}

void GtkShell::join_workers() {
  while (running_.load() > 0) g_main_context_iteration(nullptr, TRUE);
  std::vector<std::thread> workers;
  {
    std::lock_guard lock(mutex_);
    workers.swap(workers_);
  }
  for (std::thread& worker : workers)
    if (worker.joinable()) worker.join();
}

}  // namespace quillreap::app::gtk
