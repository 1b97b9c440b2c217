// GetMessage / PeekMessage loops with tab navigation through IsDialogMessage.
#include "app/win32/message_loop.hpp"

namespace quillreap::app::win32 {
namespace {

void dispatch(HWND dialog_window, MSG& message) {
  if (dialog_window && IsWindow(dialog_window) && IsDialogMessageW(dialog_window, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace

void pump_pending_messages(HWND dialog_window) {
  MSG message;
  // Looking first without removing keeps a WM_QUIT in the queue, so the message loop that
  // runs after the search still sees it and the program ends.
  while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    if (message.message == WM_QUIT) return;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return;
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    dispatch(dialog_window, message);
  }
}

int run_message_loop(HWND dialog_window) {
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    dispatch(dialog_window, message);
  }
}

}  // namespace quillreap::app::win32
