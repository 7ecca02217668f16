#pragma once
// Help Contents: the manual is a page held in the program's resources. It is
// written to the user's data folder and opened with the system's viewer of
// .html files (the default browser).

#include <windows.h>

#include <string>

// The name of the manual's resource and of the file it is written to.
inline constexpr wchar_t kHelpResourceName[] = L"HelpContents";
inline constexpr char kHelpFileName[] = "razavo_help.html";

// Writes the page to folder (when it is not there already, or differs) and
// asks the system to open it. A page that cannot be written or opened is
// reported in a message box; false then.
bool openHelpContents(HINSTANCE instance, HWND owner, const std::string& folder);
