// What the GTK window tests share: a display check, a bounded loop pump, widget texts as
// UTF-8, and the main window shown over a fresh book directory.
#pragma once

#include <gtk/gtk.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "app/gtk/main_window.hpp"
#include "tests/support/temp_folder.hpp"

namespace quillreap::app::gtk {

// GTK's warnings and critical messages (a call on a destroyed widget, a bad size) seen
// so far; GTK carries on after them, so a test has to look.
inline std::atomic<int>& gtk_complaints() {
  static std::atomic<int> count{0};
  return count;
}

// GTK starts once per process; false when there is no display to start on.
inline bool gtk_ready() {
  static const bool ready = [] {
    g_log_set_default_handler(
        [](const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer) {
          if (level & (G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) ++gtk_complaints();
          g_log_default_handler(domain, level, message, nullptr);
        },
        nullptr);
    return gtk_init_check(nullptr, nullptr) != FALSE;
  }();
  return ready;
}

// Skips without a display, and fails a test during which GTK complained.
class GtkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!gtk_ready()) GTEST_SKIP() << "no display to open the window on";
    complaints_before_ = gtk_complaints().load();
  }
  void TearDown() override {
    EXPECT_EQ(gtk_complaints().load(), complaints_before_) << "GTK warned during the test";
  }

 private:
  int complaints_before_ = 0;
};

// Texts the widgets hold, written as UTF-8 whatever the test's own character set.
inline std::string u8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

// Runs the GTK loop until done() holds; false if it never did within a minute (so a
// broken hand-over fails the test instead of hanging it).
inline bool pump_until(const std::function<bool()>& done) {
  const gint64 deadline = g_get_monotonic_time() + 60 * G_USEC_PER_SEC;
  // A periodic source keeps the blocking iteration from sleeping past the deadline.
  const guint tick = g_timeout_add(
      10, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  bool ok = true;
  while (!done()) {
    if (g_get_monotonic_time() > deadline) {
      ok = false;
      break;
    }
    g_main_context_iteration(nullptr, TRUE);
  }
  g_source_remove(tick);
  return ok;
}

inline void pump_pending() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

// The main window, shown, over a fresh book directory; closed after the test, which is
// part of what GTK must not complain about.
class WindowTest : public GtkTest {
 protected:
  void SetUp() override {
    GtkTest::SetUp();
    if (IsSkipped()) return;
    window_ = std::make_unique<MainWindow>(config(), books_.text());
    window_->show();
  }
  void TearDown() override {
    window_.reset();
    GtkTest::TearDown();
  }
  // The sites the window talks to.
  virtual sites::SiteConfig config() const { return sites::SiteConfig::defaults(); }
  const WindowWidgets& widgets() const { return window_->widgets(); }

  test_support::TempFolder books_{"gtk"};
  std::unique_ptr<MainWindow> window_;
};

}  // namespace quillreap::app::gtk
