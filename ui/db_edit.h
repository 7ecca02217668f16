#pragma once
// The dB edit (window class "LDBEdit"): an edit control for a whole number
// of dB within a range (a threshold, a volume). It takes digits and a
// leading minus only, and puts a value outside the range back into it when
// it loses the focus. The parent gets the edit control's notifications.

#include <windows.h>

#include <optional>

namespace ui {

constexpr wchar_t kDbEditClass[] = L"LDBEdit";

bool registerDbEdit(HINSTANCE instance);
void setDbRange(HWND edit, int lowest, int highest);
void setDbValue(HWND edit, int db);
// The value within the range; empty when the text is no number.
std::optional<int> dbValue(HWND edit);
// A whole number of dB from a text: optional minus, digits, nothing else.
std::optional<int> parseDb(const wchar_t* text);

}  // namespace ui
