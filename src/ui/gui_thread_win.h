// Work done on another thread reports back on the GUI thread: a function
// handed over here runs there, between window messages.
#pragma once
#include <functional>

namespace griv {

// Makes the hidden window the calls arrive through; call it on the GUI
// thread before any other thread posts.
void PrepareGuiThreadCalls();
// From any thread. Dropped when the GUI thread's window is gone.
void CallOnGuiThread(std::function<void()> call);

}  // namespace griv
