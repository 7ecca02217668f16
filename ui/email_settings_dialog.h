#pragma once
// The "Email Settings" dialog (LEmailSettings) of both programs: MAPI or an
// SMTP server, the login, direct delivery. The password is never shown: a
// stored one appears as a placeholder and stays unless the user types a
// new one.

#include <windows.h>

#include <string>

namespace ui {

// Shows the dialog for the settings under root (e.g.
// "Software\\Zedirad\\Rezara") and stores them on OK; true when stored.
bool editEmailSettings(HWND owner, const std::string& root);

}  // namespace ui
