#pragma once
// What a program's entry point does first: take its arguments, and keep to
// one instance per user session. The named mutex is held while a start looks
// for a running instance and, finding none, makes its own window, so two
// starts at once never make two; a start that finds one hands its arguments
// over (WM_COPYDATA with the hand-over record) and ends.

#include <windows.h>

#include <string>
#include <vector>

#include "sys/win32/owned_handle.h"

namespace ui {

// The command line as UTF-8 arguments, the program first.
std::vector<std::string> programArguments();

class InstanceLock {
 public:
  // Waits for the mutex of that name.
  explicit InstanceLock(const wchar_t* mutexName);
  ~InstanceLock() { release(); }
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  void release();

 private:
  sys::win32::OwnedHandle m_mutex;
};

// Sends arguments to the running instance's window as a hand-over record and
// lets it come to the front.
void handOverArguments(HWND running, const std::vector<std::string>& arguments);

}  // namespace ui
