#pragma once
// The system's folder chooser.

#include <windows.h>

#include <string>

// The chosen folder, or empty when the user cancelled.
std::string browseForFolder(HWND owner, const wchar_t* title);
