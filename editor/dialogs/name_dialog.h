#pragma once
// A one-line question for a name (bookmarks, regions).

#include <windows.h>

#include <string>

// Shows title over an edit holding name; on OK name is what was typed (at
// most maxCharacters) and the result is true.
bool askName(HWND owner, const std::string& title, std::string& name, int maxCharacters = 259);
