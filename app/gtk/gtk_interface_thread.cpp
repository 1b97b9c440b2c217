// The synchronous hand-over to the GTK interface thread: an idle source carries the
// request, a mutex and condition variable carry the "done" back.
#include "app/gtk/gtk_interface_thread.hpp"

#include <glib.h>

#include <condition_variable>
#include <mutex>

namespace quillreap::app::gtk {
namespace {

struct Request {
  const std::function<void()>* fn;
  std::mutex mutex;
  std::condition_variable done_signal;
  bool done = false;
};

gboolean run_request(gpointer data) {
  auto* request = static_cast<Request*>(data);
  // Never throws: InterfaceThread::call catches inside the request, since an exception
  // must not unwind through GLib's C frames.
  (*request->fn)();
  // Notify under the lock: the waiting thread owns the request and drops it as soon as it
  // sees done, so nothing may touch the request after the lock is released.
  std::lock_guard lock(request->mutex);
  request->done = true;
  request->done_signal.notify_one();
  return G_SOURCE_REMOVE;
}

}  // namespace

bool GtkInterfaceThread::run_there(const std::function<void()>& request_fn) {
  // An idle source rather than g_main_context_invoke: invoke runs the function on the
  // calling thread whenever it can acquire the context, which it can between two loop
  // iterations of the interface thread, and widgets must only be touched there.
  Request request{&request_fn, {}, {}, false};
  g_idle_add_full(G_PRIORITY_DEFAULT, run_request, &request, nullptr);
  std::unique_lock lock(request.mutex);
  request.done_signal.wait(lock, [&] { return request.done; });
  return true;
}

}  // namespace quillreap::app::gtk
