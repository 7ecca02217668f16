#include "ui/db_edit.h"

#include <algorithm>
#include <cwchar>
#include <string>

namespace ui {

namespace {

WNDPROC g_editProc = nullptr;
// The range lives in two window properties, so the edit's own data stays free.
constexpr wchar_t kLowest[] = L"LDBEditLowest";
constexpr wchar_t kHighest[] = L"LDBEditHighest";

int rangeOf(HWND edit, const wchar_t* name, int fallback) {
  HANDLE value = GetPropW(edit, name);
  return value ? static_cast<int>(reinterpret_cast<INT_PTR>(value)) - 10000 : fallback;
}

std::wstring textOf(HWND edit) {
  wchar_t text[32] = {};
  GetWindowTextW(edit, text, 32);
  return text;
}

LRESULT CALLBACK dbEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CHAR: {
      auto ch = static_cast<wchar_t>(wParam);
      if (ch < L' ') break;  // editing keys and shortcuts
      if (ch >= L'0' && ch <= L'9') break;
      if (ch == L'-') {
        DWORD start = 0;
        SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        if (start == 0 && textOf(window).find(L'-') == std::wstring::npos) break;
      }
      MessageBeep(MB_OK);
      return 0;
    }
    case WM_KILLFOCUS:
      if (std::optional<int> value = dbValue(window)) {
        // Putting the value into range is no edit of the user's: whether
        // the user changed the field stays as it was.
        LRESULT modified = CallWindowProcW(g_editProc, window, EM_GETMODIFY, 0, 0);
        setDbValue(window, *value);
        CallWindowProcW(g_editProc, window, EM_SETMODIFY, modified, 0);
      }
      break;
    case WM_NCDESTROY:
      RemovePropW(window, kLowest);
      RemovePropW(window, kHighest);
      break;
  }
  return CallWindowProcW(g_editProc, window, message, wParam, lParam);
}

}  // namespace

bool registerDbEdit(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (!GetClassInfoExW(nullptr, L"EDIT", &windowClass)) return false;
  g_editProc = windowClass.lpfnWndProc;
  windowClass.lpfnWndProc = dbEditProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kDbEditClass;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void setDbRange(HWND edit, int lowest, int highest) {
  SetPropW(edit, kLowest, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(lowest + 10000)));
  SetPropW(edit, kHighest, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(highest + 10000)));
}

void setDbValue(HWND edit, int db) {
  int value = std::clamp(db, rangeOf(edit, kLowest, -127), rangeOf(edit, kHighest, 127));
  std::wstring text = std::to_wstring(value);
  if (textOf(edit) != text) SetWindowTextW(edit, text.c_str());
}

std::optional<int> parseDb(const wchar_t* text) {
  const wchar_t* p = text;
  bool negative = *p == L'-';
  if (negative) ++p;
  if (!*p) return std::nullopt;
  long value = 0;
  for (; *p; ++p) {
    if (*p < L'0' || *p > L'9') return std::nullopt;
    value = std::min<long>(value * 10 + (*p - L'0'), 100000);
  }
  return static_cast<int>(negative ? -value : value);
}

std::optional<int> dbValue(HWND edit) {
  std::optional<int> value = parseDb(textOf(edit).c_str());
  if (!value) return std::nullopt;
  return std::clamp(*value, rangeOf(edit, kLowest, -127), rangeOf(edit, kHighest, 127));
}

}  // namespace ui
