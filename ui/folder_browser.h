#pragma once
// The system's folder browser and a picker of programs, both opening where
// the user was.

#include <windows.h>

#include <optional>
#include <string>

namespace ui {

// The folder chosen under the title, starting at start; nothing when cancelled.
std::optional<std::string> browseForFolder(HWND owner, const std::string& title, const std::string& start);
// A program (".exe") chosen in the open dialog titled title.
std::optional<std::string> browseForProgram(HWND owner, const std::string& title, const std::string& start);

}  // namespace ui
