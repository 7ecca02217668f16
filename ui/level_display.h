#pragma once
// The level display (window class "LDBDisplay"): one horizontal bar per
// channel for a level record in dB, green up to 0 dB and red above, with the
// level as text ("%ddB", "--dB" for silence at -127). The bars use the
// bitmaps "LDBGreen" and "LDBRed" of the program's resources when it has
// them, plain colours otherwise. Create it as a child window (by class name
// in a dialog template, or with CreateWindow) after registerLevelDisplay.

#include <windows.h>

#include <cstdint>

namespace ui {

constexpr wchar_t kLevelDisplayClass[] = L"LDBDisplay";
// The lowest level the bars show; the top is kLevelDisplayTopDb.
constexpr int kLevelDisplayFloorDb = -48;
constexpr int kLevelDisplayTopDb = 12;

bool registerLevelDisplay(HINSTANCE instance);
// Shows channels levels (dB, -127 silence); at most 8 channels are drawn.
void setDisplayedLevels(HWND display, const int8_t* levels, int channels);
// Every bar at silence.
void clearDisplayedLevels(HWND display);
// The text shown for a level: "%ddB", or "--dB" for silence.
void levelText(int level, wchar_t* text, int size);

}  // namespace ui
