#include "ui/dialog.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

#include "ui/text.h"

namespace ui {

Dialog::Dialog(int resourceId, HINSTANCE instance)
    : m_instance(instance), m_templateName(MAKEINTRESOURCEW(resourceId)) {}

Dialog::Dialog(const wchar_t* templateName, HINSTANCE instance)
    : m_instance(instance), m_templateName(templateName) {}

Dialog::Dialog(DialogTemplate dialogTemplate, HINSTANCE instance)
    : m_instance(instance), m_template(std::move(dialogTemplate)) {}

Dialog::~Dialog() {
  if (m_window) {
    // Unbound first: the window must not call into a half-destroyed object.
    HWND window = m_window;
    SetWindowLongPtrW(window, DWLP_USER, 0);
    m_window = nullptr;
    DestroyWindow(window);
  }
}

HINSTANCE Dialog::instance() const { return m_instance ? m_instance : GetModuleHandleW(nullptr); }

INT_PTR Dialog::runModal(HWND owner) {
  if (m_window) return -1;
  m_modal = true;
  m_result = 0;
  LPARAM self = reinterpret_cast<LPARAM>(this);
  INT_PTR result;
  if (m_template) {
    std::vector<WORD> image = m_template->build();
    if (image.empty()) return -1;
    result = DialogBoxIndirectParamW(instance(), reinterpret_cast<const DLGTEMPLATE*>(image.data()),
                                     owner, dialogProc, self);
  } else {
    result = DialogBoxParamW(instance(), m_templateName, owner, dialogProc, self);
  }
  m_window = nullptr;
  return result;
}

HWND Dialog::createModeless(HWND owner) {
  if (m_window) return nullptr;
  m_modal = false;
  m_result = 0;
  LPARAM self = reinterpret_cast<LPARAM>(this);
  HWND window;
  if (m_template) {
    std::vector<WORD> image = m_template->build();
    if (image.empty()) return nullptr;
    window = CreateDialogIndirectParamW(
        instance(), reinterpret_cast<const DLGTEMPLATE*>(image.data()), owner, dialogProc, self);
  } else {
    window = CreateDialogParamW(instance(), m_templateName, owner, dialogProc, self);
  }
  return window;
}

PROPSHEETPAGEW Dialog::propertyPage() {
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof page;
  page.hInstance = instance();
  page.pfnDlgProc = pageProc;
  page.lParam = reinterpret_cast<LPARAM>(this);
  m_modal = false;
  if (m_template) {
    m_pageImage = m_template->build();
    page.dwFlags = PSP_DLGINDIRECT;
    page.pResource = reinterpret_cast<const DLGTEMPLATE*>(m_pageImage.data());
  } else {
    page.pszTemplate = m_templateName;
  }
  return page;
}

INT_PTR CALLBACK Dialog::pageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // A page gets the sheet's copy of its page record; the object rides in it.
  if (message == WM_INITDIALOG) lParam = reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam;
  return dialogProc(window, message, wParam, lParam);
}

INT_PTR CALLBACK Dialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* dialog;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<Dialog*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    dialog->m_window = window;
  } else {
    dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
  }
  // Messages that come before WM_INITDIALOG (WM_SETFONT) go to the default.
  if (!dialog) return FALSE;
  INT_PTR handled = dialog->handleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, DWLP_USER, 0);
    dialog->m_window = nullptr;
  }
  return handled;
}

INT_PTR Dialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return onInit() ? TRUE : FALSE;
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

bool Dialog::onInit() { return true; }

void Dialog::onCommand(int id, int code) {
  if (id == IDOK || id == IDCANCEL) endDialog(id);
}

void Dialog::endDialog(INT_PTR result) {
  m_result = result;
  if (!m_window) return;
  if (m_modal) {
    EndDialog(m_window, result);
  } else {
    DestroyWindow(m_window);
  }
}

HWND Dialog::item(int id) const { return m_window ? GetDlgItem(m_window, id) : nullptr; }

LRESULT Dialog::sendItem(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
  HWND control = item(id);
  return control ? SendMessageW(control, message, wParam, lParam) : 0;
}

void Dialog::setText(int id, const std::string& text) {
  if (HWND control = item(id)) SetWindowTextW(control, widen(text).c_str());
}

std::string Dialog::getText(int id) const {
  HWND control = item(id);
  if (!control) return std::string();
  int length = GetWindowTextLengthW(control);
  if (length <= 0) return std::string();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(control, text.data(), length + 1);
  return narrow(text.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void Dialog::setCheck(int id, bool checked) {
  sendItem(id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Dialog::isChecked(int id) const { return sendItem(id, BM_GETCHECK) == BST_CHECKED; }

void Dialog::setInt(int id, int value) { setText(id, std::to_string(value)); }

std::optional<int> Dialog::getInt(int id) const {
  std::string text = getText(id);
  size_t first = text.find_first_not_of(" \t");
  size_t last = text.find_last_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  std::string number = text.substr(first, last - first + 1);
  errno = 0;
  char* end = nullptr;
  long long value = std::strtoll(number.c_str(), &end, 10);
  if (end == number.c_str() || *end != '\0' || errno == ERANGE || value < INT_MIN ||
      value > INT_MAX) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

void Dialog::enable(int id, bool enabled) {
  if (HWND control = item(id)) EnableWindow(control, enabled);
}

int Dialog::addComboItem(int id, const std::string& text) {
  std::wstring wide = widen(text);
  return static_cast<int>(sendItem(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

void Dialog::setComboSelection(int id, int index) { sendItem(id, CB_SETCURSEL, index); }

int Dialog::comboSelection(int id) const {
  return item(id) ? static_cast<int>(sendItem(id, CB_GETCURSEL)) : -1;
}

int Dialog::addListItem(int id, const std::string& text) {
  std::wstring wide = widen(text);
  return static_cast<int>(sendItem(id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

void Dialog::setListSelection(int id, int index) { sendItem(id, LB_SETCURSEL, index); }

int Dialog::listSelection(int id) const {
  return item(id) ? static_cast<int>(sendItem(id, LB_GETCURSEL)) : -1;
}

}  // namespace ui
