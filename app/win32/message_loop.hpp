// The interface thread's message handling: the program's message loop, and the pump that
// do_events runs while a search holds the interface thread.
#pragma once

#include <windows.h>

namespace quillreap::app::win32 {

// Handles every message waiting in the calling thread's queue and returns when it is empty
// or the next one is WM_QUIT, which stays queued for the message loop. Keyboard navigation
// between the controls of dialog_window is kept.
void pump_pending_messages(HWND dialog_window);

// Runs until WM_QUIT and returns its exit code.
int run_message_loop(HWND dialog_window);

}  // namespace quillreap::app::win32
