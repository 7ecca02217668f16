#pragma once

#include <windows.h>

// The about panel (window class "LAW"), centred on the desktop. With
// autoCloseMs above 0 it closes itself after that time; a click closes it.
void showAboutPanel(HINSTANCE instance, HWND owner, UINT autoCloseMs);
