#pragma once
// Owner of a kernel handle (thread, event, ...); closes it when dropped.

#include <windows.h>

#include <memory>

namespace ui {

struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

using OwnedHandle = std::unique_ptr<void, HandleCloser>;

}  // namespace ui
