#include "recorder/options/option_page.h"

#include <commctrl.h>

#include "ui/text.h"

namespace recorder {

ui::DialogTemplate OptionPage::layout(const std::string& title) {
  return ui::DialogTemplate(title, kWidth, kHeight, WS_CHILD | WS_CAPTION | DS_SETFONT | DS_3DLOOK);
}

INT_PTR OptionPage::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == PSN_KILLACTIVE) {
      SetWindowLongPtrW(handle(), DWLP_MSGRESULT, leave() ? FALSE : TRUE);
      return TRUE;
    }
    if (header->code == PSN_APPLY) {
      apply();
      SetWindowLongPtrW(handle(), DWLP_MSGRESULT, PSNRET_NOERROR);
      return TRUE;
    }
  }
  return ui::Dialog::handleMessage(message, wParam, lParam);
}

int OptionPage::ask(const std::string& text, const std::string& title, UINT flags) {
  if (m_context.showMessage) return m_context.showMessage(handle(), text, title, flags);
  return ui::showMessage(handle(), text, title, flags);
}

bool OptionPage::refuse(const OptionCheck& check, int field) {
  if (!check) return false;
  ask(check->text, check->title, MB_OK | MB_ICONEXCLAMATION);
  SetFocus(item(field));
  sendItem(field, EM_SETSEL, 0, -1);
  return true;
}

}  // namespace recorder
