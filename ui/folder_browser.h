#pragma once
// The system's folder browser.

#include <windows.h>

#include <optional>
#include <string>

namespace ui {

// The folder the user picked under the prompt; nothing when cancelled or the
// choice is no folder of the file system.
std::optional<std::string> browseForFolder(HWND owner, const std::string& prompt);

}  // namespace ui
